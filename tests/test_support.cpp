#include "test_support.h"

#include <fcntl.h>
#include <poll.h>
#include <png.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "color/reference.h"
#include "draw/draw_main_win.h"

extern char **environ;
namespace fs = std::filesystem;

temp_dir::temp_dir()
{
    std::string templ = (fs::temp_directory_path() / "analyzer-test-XXXXXX").string();
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data()) == nullptr) {
        perror("mkdtemp");
        std::abort();
    }
    path = buf.data();
}

temp_dir::~temp_dir()
{
    std::error_code ec;
    fs::remove_all(path, ec);
}

void write_file(const std::string &path, const std::string &text)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream f(path, std::ios::binary);
    f << text;
}

std::string read_file(const std::string &path)
{
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

bool file_exists(const std::string &path)
{
    return access(path.c_str(), F_OK) == 0;
}

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

std::string sample(const std::string &name)
{
    return std::string(ANALYZER_SOURCE_DIR) + "/samples/" + name;
}

const std::vector<sample_job> &sample_jobs()
{
    static const std::vector<sample_job> jobs = [] {
        std::vector<sample_job> list;
        std::istringstream in(read_file(std::string(ANALYZER_SOURCE_DIR) + "/samples/samples.list"));
        for (std::string line; std::getline(in, line);) {
            std::istringstream fields(line);
            std::string name, options, word;
            std::getline(fields, name, '|');
            std::getline(fields, options, '|');
            std::istringstream(name) >> name;
            if (name.empty() || name[0] == '#')
                continue;
            sample_job job{name + ".csv", {}};
            for (std::istringstream words(options); words >> word;)
                job.options.push_back(word);
            list.push_back(job);
        }
        return list;
    }();
    return jobs;
}

std::string sample_name(const testing::TestParamInfo<sample_job> &info)
{
    const std::string file = info.param.file;
    return file.substr(0, file.find('.'));
}

std::vector<char *> c_strings(std::vector<std::string> &strings)
{
    std::vector<char *> out;
    for (std::string &s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

int count_of(const std::string &text, const std::string &part)
{
    int n = 0;
    for (size_t p = text.find(part); p != std::string::npos; p = text.find(part, p + 1))
        ++n;
    return n;
}

namespace {

void drain(int fd, std::string &to)
{
    char buf[4096];
    ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0)
        to.append(buf, static_cast<size_t>(n));
}

// True once the process has a handler installed for `sig`.
bool catches(pid_t pid, int sig)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("SigCgt:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (sig - 1)) & 1;
    return false;
}

}  // namespace

std::vector<std::string> merged_environment(const std::vector<std::string> &env)
{
    std::vector<std::string> envs;
    for (char **e = environ; *e != nullptr; ++e)
        envs.push_back(*e);
    for (const std::string &o : env) {
        const std::string prefix = o.substr(0, o.find('=') + 1);
        std::erase_if(envs, [&](const std::string &e) { return e.starts_with(prefix); });
        if (o.size() > prefix.size())
            envs.push_back(o);
    }
    return envs;
}

run_result run_program(const std::vector<std::string> &argv, const std::vector<std::string> &env,
                       int signal_after_ms, int sig, const std::string &signal_after_output)
{
    run_result res;
    std::vector<std::string> envs = merged_environment(env), args = argv;
    const std::vector<char *> envp = c_strings(envs), argp = c_strings(args);

    int out_pipe[2], err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0)
        return res;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, out_pipe[1], 1);
    posix_spawn_file_actions_adddup2(&fa, err_pipe[1], 2);
    posix_spawn_file_actions_addclose(&fa, out_pipe[0]);
    posix_spawn_file_actions_addclose(&fa, err_pipe[0]);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid;
    int rc = posix_spawn(&pid, argp[0], &fa, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    close(out_pipe[1]);
    close(err_pipe[1]);
    if (rc != 0) {
        close(out_pipe[0]);
        close(err_pipe[0]);
        return res;
    }
    // Read until the child has exited and its output is drained. A process
    // it left behind could hold the pipes open, so end of file is not waited
    // for once the child is gone.
    auto start = std::chrono::steady_clock::now();
    bool signalled = false;
    bool exited = false;
    int wstatus = 0;
    int idle_after_exit = 0;
    // When the signal's delay starts: at once, or when the awaited output shows.
    long long since_ms = signal_after_output.empty() ? 0 : -1;
    while (idle_after_exit < 3) {
        pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
        poll(fds, 2, 10);
        size_t before = res.out.size() + res.err.size();
        if (fds[0].revents & POLLIN)
            drain(out_pipe[0], res.out);
        if (fds[1].revents & POLLIN)
            drain(err_pipe[0], res.err);
        const bool got_output = res.out.size() + res.err.size() != before;
        if (!exited && waitpid(pid, &wstatus, WNOHANG) == pid)
            exited = true;
        // Everything the child wrote is in the pipes once it has exited.
        if (exited && !got_output)
            ++idle_after_exit;
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
        if (since_ms < 0 && res.out.find(signal_after_output) != std::string::npos)
            since_ms = ms;
        const bool due = signal_after_ms > 0 ? since_ms >= 0 && ms - since_ms >= signal_after_ms
                                             : signal_after_ms < 0 && catches(pid, sig);
        if (due && !signalled && !exited) {
            kill(pid, sig);
            signalled = true;
        }
        if (!exited && ms > 60000)
            kill(pid, SIGKILL);
    }
    close(out_pipe[0]);
    close(err_pipe[0]);
    if (WIFEXITED(wstatus))
        res.status = WEXITSTATUS(wstatus);
    else if (WIFSIGNALED(wstatus))
        res.signal = WTERMSIG(wstatus);
    return res;
}

analyzer_root::analyzer_root(bool artwork)
{
    // Share the build's artwork and font through links; captures go to the temp root.
    fs::create_directories(dir.path + "/usr/local/app");
    if (!artwork)
        return;
    for (const char *sub : {"image", "font"})
        fs::create_directory_symlink(std::string(ANALYZER_BUILD_ROOT) + "/usr/local/app/" + sub,
                                     dir.path + "/usr/local/app/" + sub);
}

std::string analyzer_root::capture_dir() const
{
    return dir.path + "/mnt/mmc-disk4/img/analyzer_data";
}

run_result analyzer_root::run(const std::vector<std::string> &args, const std::vector<std::string> &env,
                              int signal_after_ms, int sig, const std::string &signal_after_output) const
{
    std::vector<std::string> argv{ANALYZER_BIN};
    argv.insert(argv.end(), args.begin(), args.end());
    return run_program(argv, environment(env), signal_after_ms, sig, signal_after_output);
}

std::vector<std::string> analyzer_root::environment(const std::vector<std::string> &env) const
{
    std::vector<std::string> full_env{"ELM_DISPLAY=buffer", "ANALYZER_ROOT=" + dir.path,
                                      "ECORE_NO_SYSTEM_MODULES=1"};
    full_env.insert(full_env.end(), env.begin(), env.end());
    return full_env;
}

void analyzer_root::serial_reader(const std::string &script) const
{
    write_file(dir.path + "/opt/bin/fw_printenv", "#!/bin/sh\n" + script);
    fs::permissions(dir.path + "/opt/bin/fw_printenv", fs::perms::owner_all);
}

fb_device::fb_device(bool present)
{
    if (present)
        write_file(file, "");
}

std::vector<std::string> preload_env(const char *library)
{
    const char *asan = std::getenv("ASAN_OPTIONS");
    return {std::string("LD_PRELOAD=") + library,
            std::string("ASAN_OPTIONS=verify_asan_link_order=0:") + (asan != nullptr ? asan : "")};
}

std::vector<std::string> fb_device::env(int bpp, int virtual_height, int yoffset) const
{
    std::vector<std::string> env{"ELM_DISPLAY=",
                                 "ELM_ENGINE=fb",
                                 std::string("EVAS_FB_DEV=") + FB_DEVICE,
                                 "ECORE_FB_NO_VT=1",
                                 std::string("FBDEV_EMU_DEVICE=") + FB_DEVICE,
                                 "FBDEV_EMU_FILE=" + file,
                                 "FBDEV_EMU_BPP=" + std::to_string(bpp),
                                 "FBDEV_EMU_VHEIGHT=" + std::to_string(virtual_height),
                                 "FBDEV_EMU_YOFFSET=" + std::to_string(yoffset),
                                 "FBDEV_EMU_SHOWN=" + shown};
    for (std::string &e : preload_env(FBDEV_EMU_LIB))
        env.push_back(std::move(e));
    return env;
}

rgba_image read_png(const std::string &path)
{
    rgba_image img;
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        return img;
    png.format = PNG_FORMAT_RGBA;
    img.width = static_cast<int>(png.width);
    img.height = static_cast<int>(png.height);
    img.rgba.resize(PNG_IMAGE_SIZE(png));
    img.ok = png_image_finish_read(&png, nullptr, img.rgba.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return img;
}

std::vector<results_json> json_lines(const std::string &out)
{
    std::vector<results_json> r;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        r.push_back(results_json::parse(line));
    return r;
}

std::ostream &operator<<(std::ostream &os, const rgb &c)
{
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

rgb at(const rgba_image &img, int x, int y)
{
    const size_t i = (static_cast<size_t>(y) * img.width + x) * 4;
    return {img.rgba[i], img.rgba[i + 1], img.rgba[i + 2]};
}

int alpha(const rgba_image &img, int x, int y)
{
    return img.rgba[(static_cast<size_t>(y) * img.width + x) * 4 + 3];
}

reference_t make_target(int standard, int test_type, float gamma, int white)
{
    reference_t ref = init_reference();
    ref.standard = standard_type[standard];
    ref.white = white_type[white];
    ref.test_type = static_cast<eotf_t>(test_type);
    ref.gamma = gamma;
    output_of([&] { init_ref_matrix(ref); });
    return ref;
}

long differing_pixels(const rgba_image &a, const rgba_image &b, int tolerance)
{
    if (a.width != b.width || a.height != b.height || a.rgba.size() != b.rgba.size())
        return static_cast<long>(std::max(a.rgba.size(), b.rgba.size()) / 4);
    long n = 0;
    for (size_t i = 0; i < a.rgba.size(); i += 4)
        for (size_t c = 0; c < 3; ++c)
            if (std::abs(a.rgba[i + c] - b.rgba[i + c]) > tolerance) {
                ++n;
                break;
            }
    return n;
}

void ensure_headless_efl()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    setenv("ELM_DISPLAY", "buffer", 1);
    setenv("ECORE_NO_SYSTEM_MODULES", "1", 1);
    static char arg0[] = "test";
    static char *argv[] = {arg0, nullptr};
    elm_init(1, argv);
    draw_win();
}
