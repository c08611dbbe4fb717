#include "drive_path.hpp"

std::string map_drive_path(const char* windows_path, const char* root, char separator) {
    std::string path = root;
    while (!path.empty() && (path.back() == '/' || path.back() == separator)) path.pop_back();
    const char* rest = windows_path;
    if ((rest[0] == 'C' || rest[0] == 'c') && rest[1] == ':') rest += 2;
    if (*rest != '\\' && *rest != '/') path += separator;
    for (; *rest != '\0'; ++rest) path += *rest == '\\' || *rest == '/' ? separator : *rest;
    return path;
}

std::string drive_path(const char* windows_path) {
#if defined(_WIN32)
    if (drive_root[0] == '\0') return windows_path;
    return map_drive_path(windows_path, drive_root, '\\');
#else
    return map_drive_path(windows_path, drive_root);
#endif
}
