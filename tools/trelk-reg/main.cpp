// trelk-reg: reads and writes the per-user store (the Linux stand-in for the registry) from the
// command line. Add-ons, scripts and end-to-end tests use it. The format is documented in
// docs/platform-linux.md; keep it stable.
//
//   trelk-reg get KEY NAME          print the value and a newline       exit 0, 1 when missing
//   trelk-reg set KEY NAME VALUE    write the value (creates the key)   exit 0
//   trelk-reg del KEY NAME          delete one value                    exit 0
//   trelk-reg del KEY               delete the key and its subkeys      exit 0
//   trelk-reg list KEY              NAME=VALUE lines, then [SUBKEY] lines; exit 1 when missing
//
// Usage errors exit 2, store failures exit 3 with the reason on stderr.

#include "platform/linux/LinuxPaths.h"
#include "platform/linux/SqliteUserStore.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int ExitOk = 0;
constexpr int ExitMissing = 1;
constexpr int ExitUsage = 2;
constexpr int ExitStoreFailure = 3;

constexpr const char* Usage =
    "usage: trelk-reg get KEY NAME\n"
    "       trelk-reg set KEY NAME VALUE\n"
    "       trelk-reg del KEY [NAME]\n"
    "       trelk-reg list KEY\n"
    "KEY is a backslash-separated path such as 'Software\\TrelkPro\\Interface'; keys and\n"
    "value names compare without case. The store is $TRELK_REGISTRY, else\n"
    "${XDG_CONFIG_HOME:-~/.config}/TrelkPro/registry.db.\n";

void PrintLine(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

int StoreFailure(const trelk::SqliteUserStore& store) {
    std::fprintf(stderr, "trelk-reg: %s\n", store.lastError().c_str());
    return ExitStoreFailure;
}

int Get(trelk::SqliteUserStore& store, const std::string& key, const std::string& name) {
    const std::optional<std::string> value = store.getString(key, name);
    if (value) {
        PrintLine(*value);
        return ExitOk;
    }
    if (!store.lastError().empty()) {
        return StoreFailure(store);
    }
    std::fprintf(stderr, "trelk-reg: no value \"%s\" under \"%s\"\n", name.c_str(), key.c_str());
    return ExitMissing;
}

int List(trelk::SqliteUserStore& store, const std::string& key) {
    if (!store.keyExists(key)) {
        if (!store.lastError().empty()) {
            return StoreFailure(store);
        }
        std::fprintf(stderr, "trelk-reg: no key \"%s\"\n", key.c_str());
        return ExitMissing;
    }
    const auto values = store.values(key);
    if (!store.lastError().empty()) {
        return StoreFailure(store);
    }
    const auto subkeys = store.subkeys(key);
    if (!store.lastError().empty()) {
        return StoreFailure(store);
    }
    for (const auto& [name, value] : values) {
        PrintLine(name + "=" + value);
    }
    for (const std::string& subkey : subkeys) {
        PrintLine("[" + subkey + "]");
    }
    return ExitOk;
}

int Run(const std::vector<std::string>& args) {
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
        std::fputs(Usage, stdout);
        return ExitOk;
    }
    const std::string command = args.empty() ? std::string() : args[0];
    const std::size_t count = args.size();
    const bool valid = (command == "get" && count == 3) || (command == "set" && count == 4) ||
                       (command == "del" && (count == 2 || count == 3)) ||
                       (command == "list" && count == 2);
    if (!valid) {
        std::fputs(Usage, stderr);
        return ExitUsage;
    }

    trelk::SqliteUserStore store(trelk::ResolvePlatformPaths().userStorePath);
    const std::string& key = args[1];
    if (command == "get") {
        return Get(store, key, args[2]);
    }
    if (command == "list") {
        return List(store, key);
    }
    const bool done = command == "set" ? store.setString(key, args[2], args[3])
                      : count == 3     ? store.deleteValue(key, args[2])
                                       : store.deleteKey(key);
    return done ? ExitOk : StoreFailure(store);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int code = Run(args);
    if (std::fflush(stdout) != 0) {
        std::perror("trelk-reg: stdout");
        return ExitStoreFailure;
    }
    return code;
}
