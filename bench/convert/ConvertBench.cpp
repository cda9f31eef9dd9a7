// Converter benchmark: tavora-convert at its defaults against the sox command
// line that runs the same chain into MP3, and against lame alone on audio that
// sox has already decoded and filtered. Every figure comes from the same run,
// on the same generated files, so the ratios hold on any machine.
#include "tests/support/OggFixture.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double kSeconds = 180.0;
constexpr int kRepeats = 5;

// Writes a stereo Ogg Vorbis file that sounds more like music than a test
// tone: a few gliding harmonics, a beat and some noise, so the encoder has
// real work to do.
bool WriteMusicLikeOgg(const std::string& path, long rate) {
    std::mt19937 random(1);
    std::normal_distribution<float> noise(0.0f, 0.02f);
    double phase[4] = {};
    const auto music = [&](uint64_t first, int count, float** buffer) {
        for (int i = 0; i < count; ++i) {
            const double t = double(first + uint64_t(i)) / double(rate);
            const double base = 220.0 * std::pow(2.0, std::floor(std::fmod(t * 2, 12)) / 12);
            double left = 0, right = 0;
            for (int h = 0; h < 4; ++h) {
                phase[h] += 2 * M_PI * base * (h + 1) / double(rate);
                const double v = std::sin(phase[h]) * 0.25 / (h + 1);
                left += v * (h % 2 ? 0.6 : 1.0);
                right += v * (h % 2 ? 1.0 : 0.6);
            }
            const double beat = std::fmod(t, 0.5) < 0.05 ? 0.3 * std::sin(t * 2 * M_PI * 60) : 0;
            buffer[0][i] = static_cast<float>(left + beat) + noise(random);
            buffer[1][i] = static_cast<float>(right + beat) + noise(random);
        }
    };
    return tavora::testing::WriteOggFrom(path, static_cast<uint32_t>(rate), 2,
                                         static_cast<uint64_t>(kSeconds * double(rate)), 0.4f,
                                         music);
}

struct Measure {
    double wall = 0; // seconds
    double cpu = 0;  // user + system seconds
    double peakMiB = 0;
    bool ok = false;
};

// Runs one command to its end and measures it with wait4.
Measure RunMeasured(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    Measure m;
    std::fflush(stdout); // or the child would inherit what is still buffered
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args, envp;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        for (const auto& e : env)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        const int null = open("/dev/null", O_WRONLY);
        if (null < 0 || dup2(null, STDOUT_FILENO) < 0 || dup2(null, STDERR_FILENO) < 0)
            _exit(126);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return m;
    m.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
            usage.ru_stime.tv_usec / 1e6;
    m.peakMiB = usage.ru_maxrss / 1024.0; // kilobytes on Linux
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return m;
}

struct Command {
    std::vector<std::string> argv;
    std::string output; // removed before each run
    std::vector<Measure> runs;
};

// Runs the commands in turn, kRepeats rounds, so that a change in the
// machine's load falls on all of them alike.
bool RunInterleaved(std::vector<Command>& commands, const std::vector<std::string>& env) {
    for (int round = 0; round < kRepeats; ++round)
        for (auto& c : commands) {
            fs::remove(c.output);
            c.runs.push_back(RunMeasured(c.argv, env));
            if (!c.runs.back().ok) {
                std::fprintf(stderr, "failed: %s\n", c.argv[0].c_str());
                return false;
            }
        }
    return true;
}

// The median wall and CPU time of a command's runs, and its largest peak.
Measure Median(const Command& c) {
    Measure m;
    m.ok = true;
    std::vector<double> wall, cpu;
    for (const auto& r : c.runs) {
        wall.push_back(r.wall);
        cpu.push_back(r.cpu);
        m.peakMiB = std::max(m.peakMiB, r.peakMiB);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    m.wall = wall[wall.size() / 2];
    m.cpu = cpu[cpu.size() / 2];
    return m;
}

const char* Verdict(bool ok) {
    return ok ? "ok" : "MISSED";
}

} // namespace

int main(int argc, char** argv) {
    const std::string tavora = argc > 1 ? argv[1] : TAVORA_CONVERT;
    const std::string sox = "/usr/bin/sox", lame = "/usr/bin/lame";
    for (const auto& tool : {tavora, sox, lame})
        if (access(tool.c_str(), X_OK) != 0) {
            std::fprintf(stderr, "missing %s\n", tool.c_str());
            return 1;
        }

    char tmpl[] = "/tmp/tavora-bench-XXXXXX";
    if (!mkdtemp(tmpl))
        return 1;
    const fs::path dir = tmpl;
    fs::create_directories(dir / "home");
    fs::create_directories(dir / "config");
    // No Config.ini in this data folder: tavora-convert runs at its defaults.
    const std::vector<std::string> env = {"HOME=" + (dir / "home").string(),
                                          "XDG_CONFIG_HOME=" + (dir / "config").string(),
                                          "PATH=/usr/bin:/bin", "LANG=C.UTF-8"};

    int missed = 0;
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("%.0f s stereo sources, median of %d interleaved runs, load average %.2f\n\n",
                kSeconds, kRepeats, load[0]);
    std::printf("%-10s %-22s %8s %8s %9s\n", "source", "command", "wall s", "CPU s", "peak MiB");
    for (long rate : {44100L, 48000L}) {
        const std::string name = "music" + std::to_string(rate);
        const std::string ogg = (dir / (name + ".ogg")).string();
        if (!WriteMusicLikeOgg(ogg, rate)) {
            std::fprintf(stderr, "cannot write %s\n", ogg.c_str());
            return 1;
        }
        std::vector<std::string> effects;
        if (rate != 44100)
            effects = {"rate", "44100"};
        effects.insert(effects.end(), {"lowpass", "7000", "highpass", "100"});

        // The decoded, filtered audio that lame gets on its own (not timed).
        const std::string wav = (dir / (name + ".wav")).string();
        std::vector<std::string> prepare = {sox, ogg, wav};
        prepare.insert(prepare.end(), effects.begin(), effects.end());
        if (!RunMeasured(prepare, env).ok)
            return 1;

        const std::string outDir = (dir / "out").string();
        std::vector<std::string> soxArgs = {sox, ogg, "-C", "128.9", (dir / "sox.mp3").string()};
        soxArgs.insert(soxArgs.end(), effects.begin(), effects.end());
        std::vector<Command> commands = {
            {{tavora, "--output", outDir, ogg}, outDir + "/" + name + ".mp3", {}},
            {soxArgs, (dir / "sox.mp3").string(), {}},
            {{lame, "-q", "9", "-b", "128", "--cbr", "--nores", wav, (dir / "lame.mp3").string()},
             (dir / "lame.mp3").string(),
             {}},
        };
        if (!RunInterleaved(commands, env))
            return 1;
        const Measure t = Median(commands[0]), s = Median(commands[1]), l = Median(commands[2]);

        const std::string label = std::to_string(rate) + " Hz";
        std::printf("%-10s %-22s %8.3f %8.3f %9.1f\n", label.c_str(), "tavora-convert", t.wall,
                    t.cpu, t.peakMiB);
        std::printf("%-10s %-22s %8.3f %8.3f %9.1f\n", "", "sox -C 128.9 (chain)", s.wall, s.cpu,
                    s.peakMiB);
        std::printf("%-10s %-22s %8.3f %8.3f %9.1f\n", "", "lame -q 9 (WAV only)", l.wall, l.cpu,
                    l.peakMiB);
        const double wallSox = t.wall / s.wall, wallLame = t.wall / l.wall, cpuSox = t.cpu / s.cpu;
        const bool okWallSox = wallSox <= 0.8, okWallLame = wallLame <= 1.2, okCpu = cpuSox <= 1.3,
                   okPeak = t.peakMiB <= 64.0;
        missed += !okWallSox + !okWallLame + !okCpu + !okPeak;
        std::printf("%-10s wall/sox %.2fx (<= 0.80 %s)  wall/lame %.2fx (<= 1.20 %s)  "
                    "CPU/sox %.2fx (<= 1.30 %s)  peak %.1f MiB (<= 64 %s)\n\n",
                    "", wallSox, Verdict(okWallSox), wallLame, Verdict(okWallLame), cpuSox,
                    Verdict(okCpu), t.peakMiB, Verdict(okPeak));
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    std::printf("%s\n", missed == 0 ? "all targets met" : "some targets missed");
    return 0;
}
