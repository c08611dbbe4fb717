#include "drive_path.hpp"

std::string map_drive_path(const char* windows_path, const char* root) {
    std::string path = root;
    while (!path.empty() && path.back() == '/') path.pop_back();
    const char* rest = windows_path;
    if ((rest[0] == 'C' || rest[0] == 'c') && rest[1] == ':') rest += 2;
    if (*rest != '\\' && *rest != '/') path += '/';
    for (; *rest != '\0'; ++rest) path += *rest == '\\' ? '/' : *rest;
    return path;
}

std::string drive_path(const char* windows_path) {
#if defined(_WIN32)
    return windows_path;
#else
    return map_drive_path(windows_path, drive_root);
#endif
}
