#pragma once

#include <string>

// The road tool's two fixed paths are Windows drive-letter paths. The shipped Windows build
// opens them as they stand. Elsewhere "C:\" stands for the directory `drive_root`, fixed when
// the program is built (by default /mnt/c, where Linux systems that share a Windows disk
// usually mount drive C:), and each backslash becomes '/'. A Windows build given a drive root
// (the test builds) looks below that directory in the same way, keeping the backslashes.

/// The road file that `road_merge` loads.
inline constexpr const char* merge_road_file_path = "C:\\aGrand\\Grand.ROAD";

/// The screenshot marker files, numbered from 0.
inline constexpr const char* marker_path_format = "C:\\Hollowmere\\vantrel\\scrnshot\\IMAGE%03d.TXT";

/// The directory that stands for drive C:, set per build; empty in a Windows build that
/// opens the drive-letter paths as they stand.
extern const char* const drive_root;

/// `windows_path` ("C:\..." ) spelled below `root` with `separator` between its names:
/// "C:\aGrand\Grand.ROAD" with root "/mnt/c" is "/mnt/c/aGrand/Grand.ROAD"; with root
/// "D:\maps" and separator '\' it is "D:\maps\aGrand\Grand.ROAD".
std::string map_drive_path(const char* windows_path, const char* root, char separator = '/');

/// The path this build opens for `windows_path`.
std::string drive_path(const char* windows_path);
