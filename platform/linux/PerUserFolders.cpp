#include "PerUserFolders.h"

namespace trelk {

namespace {

std::string ParentOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/', path.size() > 1 ? path.size() - 2 : 0);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Each missing folder of the path, from the outermost in.
bool MakeFolders(const std::string& folder, FileSystem& files, std::vector<std::string>& problems) {
    if (folder.empty() || files.kindOf(folder) == PathKind::Folder) {
        return true;
    }
    if (!MakeFolders(ParentOf(folder), files, problems)) {
        return false;
    }
    const FileWriteResult made = files.createFolder(folder);
    if (!made.ok) {
        problems.push_back("Unable to create the folder " + folder + ": " + made.error);
    }
    return made.ok;
}

void CopyWhenMissing(const std::string& from, const std::string& to, FileSystem& files,
                     std::vector<std::string>& problems) {
    if (files.kindOf(to) != PathKind::Missing || files.kindOf(from) != PathKind::File) {
        return;
    }
    const FileReadResult shipped = files.readFile(from);
    if (shipped.status != FileReadResult::Status::Ok) {
        problems.push_back("Unable to read " + from);
        return;
    }
    if (const FileWriteResult written = files.replaceFile(to, shipped.content); !written.ok) {
        problems.push_back("Unable to write " + to + ": " + written.error);
    }
}

} // namespace

std::vector<std::string> SeedPerUserFolders(const PlatformPaths& paths, FileSystem& files) {
    std::vector<std::string> problems;
    const std::string dataDir = paths.appDir + "Data/";
    if (!MakeFolders(dataDir, files, problems) ||
        !MakeFolders(ParentOf(paths.settingsFile), files, problems)) {
        return problems;
    }
    CopyWhenMissing(paths.programDir + NameOf(paths.settingsFile), paths.settingsFile, files,
                    problems);
    CopyWhenMissing(paths.programDir + "vorel.bmp", paths.appDir + "vorel.bmp", files, problems);
    const std::string shippedData = paths.programDir + "Data/";
    for (const std::string& name : files.fileNames(shippedData)) {
        CopyWhenMissing(shippedData + name, dataDir + name, files, problems);
    }
    return problems;
}

} // namespace trelk
