#include "test_support.hpp"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "marker_file.hpp"
#include "road_file.hpp"
#include "road_table.hpp"

namespace test {

#if defined(_WIN32)

temp_dir::temp_dir() {
    // No mkdtemp here: a name from the process id, a counter and the clock, taken only if
    // no directory has it yet.
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() /
                             ("map_tools_test_" + std::to_string(GetCurrentProcessId()) + "_" +
                              std::to_string(++counter) + "_" + std::to_string(GetTickCount64() % 100000));
        if (fs::create_directory(candidate)) {
            path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary directory");
}

#else

temp_dir::temp_dir() {
    std::string pattern = (fs::temp_directory_path() / "map_tools_test_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

#endif

temp_dir::~temp_dir() {
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path, ignored);
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

void write_file(const fs::path& path, const std::vector<unsigned char>& bytes) {
    write_file(path, std::string(bytes.begin(), bytes.end()));
}

std::vector<std::string> file_names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string le32(const std::vector<std::int32_t>& words) {
    std::string bytes;
    for (std::int32_t word : words) {
        std::uint32_t v = static_cast<std::uint32_t>(word);
        for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((v >> shift) & 0xFF);
    }
    return bytes;
}

std::string road_file_bytes(const std::vector<road_fixture>& roads) {
    byte_buffer out;
    put_road_count(out, static_cast<std::int32_t>(roads.size()));
    for (const road_fixture& road : roads) {
        std::vector<road_file_point> points;
        for (auto [x, z] : road.points) points.push_back({x, z});
        put_road_entry(out, road.attribute_1, road.attribute_2, points.data(),
                       static_cast<std::int32_t>(points.size()));
    }
    return std::string(out.begin(), out.end());
}

std::string make_road_file(const fs::path& dir, const std::vector<road_fixture>& roads) {
    std::string bytes = road_file_bytes(roads);
    write_file(dir / "Grand.ROAD", bytes);
    return bytes;
}

std::string marker_file_text(const std::vector<std::string>& value_lines, const std::string& eol) {
    byte_buffer bytes = encode_marker_file(value_lines, eol);
    return std::string(bytes.begin(), bytes.end());
}

void clear_road_table() {
    std::memset(roads, 0, sizeof roads);
    road_count = 0;
    std::memset(split_roads, 0, sizeof split_roads);
    std::memset(bridges, 0, sizeof bridges);
    bridge_count = 0;
    std::memset(markers, 0, sizeof markers);
    marker_count = 0;
}

#if defined(_WIN32)

namespace {

/// `argument` quoted for a command line that the C runtime splits back into the same
/// argument: backslashes are literal except before a double quote.
std::wstring quoted_argument(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L'"';
}

/// An inheritable handle for a child's standard stream.
HANDLE inheritable_file(const fs::path& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE handle = CreateFileW(path.wstring().c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path.string());
    return handle;
}

/// The console text a program printed, from the bytes of its text-mode standard stream: each
/// line feed arrives as carriage return and line feed, and goes back to a line feed.
std::string console_text(const std::string& bytes, const char* stream_name) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) {
            ADD_FAILURE() << stream_name << " has a line feed without a carriage return at byte " << i
                          << ": the console stream is not in text mode";
        }
        text += bytes[i];
    }
    return text;
}

}  // namespace

run_result run_program(const std::string& program, const fs::path& work_dir, const run_options& options) {
    // A file-size limit has no Windows equivalent; tests that need one skip themselves here.
    if (options.file_size_limit > 0) throw std::runtime_error("no file-size limit on Windows");
    temp_dir capture;
    fs::path out_path = capture.path / "stdout";
    fs::path err_path = capture.path / "stderr";

    const fs::path program_path = fs::absolute(fs::path(program));
    std::wstring command_line = quoted_argument(program_path.wstring());
    for (const std::string& argument : options.arguments) {
        command_line += L' ' + quoted_argument(fs::path(argument).wstring());
    }

    HANDLE input = inheritable_file("NUL", GENERIC_READ, OPEN_EXISTING);
    HANDLE output = inheritable_file(out_path, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE error = inheritable_file(err_path, GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = error;
    PROCESS_INFORMATION process{};
    std::fflush(nullptr);
    // Wine now and then refuses a start with an internal error when many processes come and
    // go; that is the test machine's hiccup, not the program's, so the start is tried again.
    BOOL started = FALSE;
    DWORD start_error = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        started = CreateProcessW(program_path.wstring().c_str(), command_line.data(), nullptr, nullptr, TRUE,
                                 0, nullptr, work_dir.wstring().c_str(), &startup, &process);
        start_error = GetLastError();
        if (started || start_error != ERROR_INTERNAL_ERROR) break;
        Sleep(100);
    }
    CloseHandle(input);
    CloseHandle(output);
    CloseHandle(error);
    if (!started) {
        throw std::runtime_error("cannot start " + program_path.string() + " (error " +
                                 std::to_string(start_error) + ")");
    }
    CloseHandle(process.hThread);
    DWORD exit_code = 0;
    bool finished = WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                    GetExitCodeProcess(process.hProcess, &exit_code);
    CloseHandle(process.hProcess);
    if (!finished) throw std::runtime_error("cannot wait for " + program_path.string());
    return {console_text(read_file(out_path), "standard output"),
            console_text(read_file(err_path), "standard error"), static_cast<int>(exit_code)};
}

#else

run_result run_program(const std::string& program, const fs::path& work_dir, const run_options& options) {
    // The captured streams live outside the working directory, which must show only what
    // the program wrote.
    temp_dir capture;
    fs::path out_path = capture.path / "stdout";
    fs::path err_path = capture.path / "stderr";
    std::fflush(nullptr);
    pid_t child = fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        FILE* out = std::fopen(out_path.c_str(), "wb");
        FILE* err = std::fopen(err_path.c_str(), "wb");
        if (out == nullptr || err == nullptr || chdir(work_dir.c_str()) != 0) _exit(126);
        dup2(fileno(out), STDOUT_FILENO);
        dup2(fileno(err), STDERR_FILENO);
        if (options.file_size_limit > 0) {
            signal(SIGXFSZ, SIG_IGN);
            rlimit limit{static_cast<rlim_t>(options.file_size_limit),
                         static_cast<rlim_t>(options.file_size_limit)};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(126);
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : options.arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) throw std::runtime_error("waitpid failed");
    run_result result{read_file(out_path), read_file(err_path), -1};
    if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.exit_code = 128 + WTERMSIG(status);
    return result;
}

#endif

::testing::AssertionResult same_bytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    std::size_t offset = 0;
    while (offset < actual.size() && offset < expected.size() && actual[offset] == expected[offset]) ++offset;
    return ::testing::AssertionFailure() << "first difference at byte " << offset << " (actual size "
                                         << actual.size() << ", expected " << expected.size() << ")";
}

}  // namespace test
