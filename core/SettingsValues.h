#pragma once

#include "platform/ports/VirtualKeys.h"

#include <array>
#include <string>

// Every value of the settings file with its default. Field names are the key names of the file,
// so a search for a key finds both the table and the field.
namespace trelk {

// Both services are the sample web services (tools/trelk-services) at their default address,
// so a fresh installation downloads for real.
inline constexpr char kMarketServerHost[] = "http://127.0.0.1:47821";
inline constexpr char kDatabaseServerHost[] = "http://127.0.0.1:47821";
// The only market server there is; written to the file for the add-ons that read it.
inline constexpr char kMarketServerName[] = "US";
inline constexpr char kConsoleBitmapName[] = "vorel.bmp";

struct SetupSettings {
    int MarketUpdateInterval = 5; // minutes, 3..30 in the control
    std::string InstallCode;
    std::string ALDWYNURL = std::string(kMarketServerHost) + "/trlp/inv/vinventory.txt";
    std::string MarketServer = kMarketServerName; // never read
    bool MarketEnable = false;
    bool LogEnabled = false;
    bool ProxyEnabled = false;
    std::string ProxyURL;
    int ProxyPort = 0;
    bool AutoRunVL = false;
    bool AutoExitTRL = false;
    bool PhotoEnabled = false;
    bool DBAutoUpdate = true;
    std::string AutoStart;
    // The trailing blanks are part of the historical defaults.
    std::string DatabaseURL = std::string(kDatabaseServerHost) + "/html/rawdata2.php ";
    std::string DBDateURL = std::string(kDatabaseServerHost) + "/dblastchange.txt ";
    std::string TrelkVersionURL =
        std::string(kDatabaseServerHost) + "/trelkbeta/_tracking1.php?id=";
    std::string TrkDate = "00-00-00";
    int LogBufSize = 100;
    int NumOfMarketTypes = 15;
    int NumOfItemTypes = 80;
    int NumOfMarketSectors = 25;

    bool operator==(const SetupSettings&) const = default;
};

struct DataListSettings {
    int LoadData = 1;
    std::string RoidFiles; // file names, each followed by ';'
    std::string ArtiFiles;
    std::string DBFiles;

    bool operator==(const DataListSettings&) const = default;
};

struct ScannerSettings {
    bool SRadarAlarmWAV = true;
    bool SRadarAlarmPU = true;
    bool SRadarAlarmRepeat = false;
    int ScanColor = 1; // 0 Flux, 1 Object, 2 Sol, 3 Oct, 4 Quan; others mean Object
    std::string RadarWavFileName;
    int ScanIndicator = 1; // below 1 off, 1 normal, 2 or more alternate

    bool operator==(const ScannerSettings&) const = default;
};

struct ConsoleSettings {
    bool AASafe = false;
    bool WideConsole = false;
    int BMPTransperancy = 170; // opacity 0..255, 255 opaque
    int ConOpenSpeed = 128;    // 0..255, 0 fastest
    int PositionX = 2;
    int PositionY = 14;
    int TextColor = 0xFFFFFF; // 0x00BBGGRR
    int HighLightColor = 0x00FFFF;
    int MarkerColor = 0x0000FF;
    int FontSize = 8;
    std::string Font = "OCR A Extended";
    std::string ConsoleBMP; // default AppDir + kConsoleBitmapName, see DefaultSettings
    bool EscRefresh = false;
    bool DebugState = true;

    bool operator==(const ConsoleSettings&) const = default;
};

inline constexpr std::size_t kKeyMapSize = 21;
// A key code is the virtual key in bits 0..7 with this bit for an extended key, or -1 unmapped.
inline constexpr int kExtendedKeyCode = 0x100;
// The code that maps an entry to no key at all.
inline constexpr int kNoKeyCode = 0xFF;

struct KeyMapSettings {
    // Insert, Left, Right, Up, Down (the block beside the keypad), Pause, Scroll Lock,
    // keypad *, keypad -, then no hot keys for the twelve macros.
    std::array<int, kKeyMapSize> KM{Vk::Insert | kExtendedKeyCode,
                                    Vk::Left | kExtendedKeyCode,
                                    Vk::Right | kExtendedKeyCode,
                                    Vk::Up | kExtendedKeyCode,
                                    Vk::Down | kExtendedKeyCode,
                                    Vk::Pause,
                                    Vk::Scroll,
                                    Vk::Multiply,
                                    Vk::Subtract,
                                    kNoKeyCode,
                                    kNoKeyCode,
                                    kNoKeyCode,
                                    kNoKeyCode,
                                    kNoKeyCode,
                                    kNoKeyCode,
                                    kNoKeyCode,
                                    kNoKeyCode,
                                    kNoKeyCode,
                                    kNoKeyCode,
                                    kNoKeyCode,
                                    kNoKeyCode};

    bool operator==(const KeyMapSettings&) const = default;
};

struct Settings {
    SetupSettings Setup;
    DataListSettings DataList;
    ScannerSettings Scanner;
    ConsoleSettings Console;
    KeyMapSettings KeyMap;

    bool operator==(const Settings&) const = default;
};

// appDir ends with the path separator.
inline Settings DefaultSettings(const std::string& appDir) {
    Settings settings;
    settings.Console.ConsoleBMP = appDir + kConsoleBitmapName;
    return settings;
}

} // namespace trelk
