#include "tests/cli/Subprocess.h"
#include "tests/support/Mp3Analysis.h"
#include "tests/support/OggFixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace fx = tavora::testing;
using fx::OggSpec;
using fx::ProcessResult;
using fx::ReadText;
using fx::TempFolder;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class Cli : public ::testing::Test {
protected:
    std::string Home() const { return root / "home"; }
    std::string ConfigIni() const { return root / "config/Tavora/Config.ini"; }

    std::string Source(const std::string& name, OggSpec spec) {
        const std::string path = root / ("src/" + name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        EXPECT_TRUE(fx::WriteOgg(path, spec));
        return path;
    }

    void WriteConfig(const std::string& text) {
        std::filesystem::create_directories(root / "config/Tavora");
        ASSERT_TRUE(fx::WriteText(ConfigIni(), text));
    }

    fx::ProcessSpec Spec(std::vector<std::string> args) const {
        fx::ProcessSpec spec;
        spec.program = TAVORA_CONVERT;
        spec.args = std::move(args);
        spec.env = {{"HOME", Home()},
                    {"XDG_CONFIG_HOME", root / "config"},
                    {"PATH", "/usr/bin:/bin"},
                    {"LANG", "C.UTF-8"}};
        for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS"})
            if (const char* value = std::getenv(name))
                spec.env[name] = value;
        return spec;
    }

    ProcessResult Run(std::vector<std::string> args) const { return fx::RunProcess(Spec(args)); }

    TempFolder root;
};

void ExpectMp3(const std::string& path, long rate, int channels, int kbps, double seconds) {
    const fx::Mp3Report mp3 = fx::InspectMp3(path);
    ASSERT_TRUE(mp3.ok) << path << ": " << mp3.error;
    EXPECT_EQ(mp3.rate, rate) << path;
    EXPECT_EQ(mp3.channels, channels) << path;
    EXPECT_NEAR(static_cast<double>(mp3.frames) / rate, seconds, 0.06) << path;
    ASSERT_FALSE(mp3.bitratesKbps.empty());
    for (int b : mp3.bitratesKbps)
        ASSERT_EQ(b, kbps) << path;
}

} // namespace

TEST_F(Cli, UsageErrorsExitWithTwo) {
    const std::string file = Source("a.ogg", {44100, 1, 0.5});
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--bitrate", "128"},
        {"--fast", file},
        {"-x", file},
        {"--bitrate", "100", file},
        {"--bitrate", "abc", file},
        {"--bitrate=", file},
        {"--rate", "48000", file},
        {"--rate", "0", file},
        {"--rate", "44100Hz", file},
        {"--channels", "surround", file},
        {file, "--output"},
        {"--output=", file},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const ProcessResult r = Run(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(Contains(r.err, "Usage: tavora-convert [--output DIR]")) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(Home() + "/Music")) << "nothing was converted";

    const ProcessResult help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(Contains(help.out, "Usage: tavora-convert")) << help.out;
}

TEST_F(Cli, DefaultsWithoutConfigFileAndNumberedLogLines) {
    const std::string a = Source("a.ogg", {44100, 2, 1.0});
    const std::string six = Source("six.ogg", {48000, 6, 1.0});
    const ProcessResult r = Run({a, six});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;

    // Each line: "%03d " number, the local time, the text; numbered from 1.
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 15u) << r.out;
    std::vector<std::string> texts;
    for (size_t i = 0; i < lines.size(); ++i) {
        int number = 0, hour = -1, minute = -1, second = -1, text = -1;
        ASSERT_EQ(std::sscanf(lines[i].c_str(), "%d %2d:%2d:%2d %n", &number, &hour, &minute,
                              &second, &text),
                  4)
            << lines[i];
        EXPECT_EQ(number, static_cast<int>(i + 1));
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "%03d %02d:%02d:%02d ", number, hour, minute, second);
        EXPECT_EQ(lines[i].substr(0, static_cast<size_t>(text)), stamp) << lines[i];
        EXPECT_LT(hour, 24);
        EXPECT_LT(minute, 60);
        EXPECT_LT(second, 61);
        texts.push_back(lines[i].substr(static_cast<size_t>(text)));
    }
    const std::string music = Home() + "/Music";
    EXPECT_EQ(lines[0].substr(0, 4), "001 ");
    EXPECT_EQ(texts[0], std::string(99, '-'));
    EXPECT_EQ(texts[1], "Start a new converting task.");
    EXPECT_EQ(texts[2], "Source:  " + a + ".");
    EXPECT_EQ(texts[3], "Destination: " + music + "/a.mp3.");
    EXPECT_EQ(texts[5], "Converting status: OK.");
    EXPECT_EQ(texts[9], "Destination: " + music + "/six.mp3.");
    EXPECT_EQ(texts[11], "Converting status: OK.");
    EXPECT_EQ(texts[12], std::string(99, '-'));
    EXPECT_EQ(texts[13].rfind("Total time elapsed ", 0), 0u);
    EXPECT_EQ(texts[14], "Finished converting, all done");

    ExpectMp3(music + "/a.mp3", 44100, 2, 128, 1.0);
    ExpectMp3(music + "/six.mp3", 44100, 2, 128, 1.0); // six channels become stereo
    EXPECT_FALSE(std::filesystem::exists(ConfigIni())) << "Config.ini is never written";
}

TEST_F(Cli, ConfigFileGivesDefaultsAndOptionsOverrideThemForOneRun) {
    const std::string a = Source("a.ogg", {44100, 2, 1.0});
    const std::string ini = "; mine\n[OUTPUT]\nDesDir=" + (root / "fromini") +
                            "\n[MP3]\nLameBits=7\nLameChannel=1\nFreq=5\n[Other]\nKeep=1\n";
    WriteConfig(ini);

    ProcessResult r = Run({a});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    // A DesDir without its trailing "/" still names the folder.
    ExpectMp3(root / "fromini/a.mp3", 22050, 1, 64, 1.0);

    r = Run(
        {"--output", root / "opt", "--bitrate=192", "--rate", "32000", "--channels", "stereo", a});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    ExpectMp3(root / "opt/a.mp3", 32000, 2, 192, 1.0);

    r = Run({"--rate", "auto", "--output", root / "auto", a});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    ExpectMp3(root / "auto/a.mp3", 44100, 1, 64, 1.0); // the rest still from the file

    EXPECT_EQ(ReadText(ConfigIni()), ini);
}

TEST_F(Cli, UnusableFilesAreNamedAndSkipped) {
    const std::string good = Source("good.ogg", {44100, 1, 0.5});
    ASSERT_TRUE(fx::WriteText(root / "src/text.ogg", "no audio here"));
    ASSERT_TRUE(fx::WriteBytes(root / "src/empty.ogg", {}));
    ASSERT_TRUE(fx::WriteOgg(root / "src/valid.wav", {44100, 1, 0.5}));
    const ProcessResult r =
        Run({"--output", root / "out", root / "src/missing.ogg", root / "src/text.ogg", good,
             root / "src/empty.ogg", root / "src/valid.wav"});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const auto err = Lines(r.err);
    const std::vector<std::string> expected = {
        "Skipped " + root / "src/missing.ogg" + ": cannot be opened (No such file or directory).",
        "Skipped " + root / "src/text.ogg" + ": not an Ogg Vorbis stream.",
        "Skipped " + root / "src/empty.ogg" + ": the file is empty.",
        "Skipped " + root / "src/valid.wav" + ": unknown file type.",
    };
    EXPECT_EQ(err, expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root / "out"), {}), 1);
    ExpectMp3(root / "out/good.mp3", 44100, 1, 128, 0.5);
}

TEST_F(Cli, NothingUsableExitsWithOne) {
    std::filesystem::create_directories(root / "src");
    ASSERT_TRUE(fx::WriteText(root / "src/text.ogg", "no audio here"));
    const ProcessResult r = Run({"--output", root / "out", root / "src/text.ogg"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "Skipped ")) << r.err;
    EXPECT_TRUE(Contains(r.err, "no usable file")) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(std::filesystem::exists(root / "out"));
}

TEST_F(Cli, OutputFolderThatCannotBeCreated) {
    const std::string a = Source("a.ogg", {44100, 1, 0.5});
    ASSERT_TRUE(fx::WriteText(root / "blocker", "a regular file"));
    const ProcessResult r = Run({"--output", root / "blocker/sub", a});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.out, "Fail to create folder " + root / "blocker/sub" + " !")) << r.out;
    EXPECT_FALSE(Contains(r.out, "Finished converting")) << r.out;
    EXPECT_EQ(ReadText(root / "blocker"), "a regular file");
}

TEST_F(Cli, RelativeNonAsciiNamesAndExistingFilesKept) {
    Source("Ünï cødé.ogg", {44100, 2, 0.5});
    std::filesystem::create_directories(root / "out");
    ASSERT_TRUE(fx::WriteText(root / "out/Ünï cødé.mp3", "older"));
    auto spec = Spec({"--output", "../out", "Ünï cødé.ogg"});
    spec.workingDir = root / "src";
    const ProcessResult r = fx::RunProcess(spec);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "Source:  " + root / "src/Ünï cødé.ogg" + ".")) << r.out;
    EXPECT_TRUE(Contains(r.out, "Destination: " + root / "out/Ünï cødé (2).mp3" + ".")) << r.out;
    EXPECT_EQ(ReadText(root / "out/Ünï cødé.mp3"), "older");
    ExpectMp3(root / "out/Ünï cødé (2).mp3", 44100, 2, 128, 0.5);
}

TEST_F(Cli, InterruptFinishesOffTheCurrentFileAndStops) {
    const std::string a = Source("long.ogg", {44100, 2, 90.0});
    const std::string b = Source("next.ogg", {44100, 2, 0.5});
    auto spec = Spec({"--output", root / "out", a, b});
    bool sent = false;
    spec.onOutput = [&](const std::string& out, int pid) {
        if (!sent && Contains(out, "Destination: ")) {
            sent = true;
            kill(pid, SIGINT);
        }
    };
    const ProcessResult r = fx::RunProcess(spec);
    ASSERT_TRUE(sent);
    EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
    const auto lines = Lines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(Contains(lines.back(), " Converting status: ERROR.")) << r.out;
    EXPECT_FALSE(Contains(r.out, "next.ogg")) << "no further job runs";
    EXPECT_FALSE(Contains(r.out, "Finished converting"));

    // Finished off: a whole MP3 file, however little of the source it holds.
    const fx::Mp3Report mp3 = fx::InspectMp3(root / "out/long.mp3");
    ASSERT_TRUE(mp3.ok) << mp3.error;
    EXPECT_LT(mp3.frames, 90u * 44100);
}

TEST_F(Cli, TerminalShowsALiveProgressLine) {
    const std::string a = Source("a.ogg", {44100, 2, 8.0});
    auto spec = Spec({"--output", root / "out", a});
    spec.terminal = true;
    const ProcessResult r = fx::RunProcess(spec);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(Contains(r.out, "[1/1] a.ogg ")) << r.out;
    EXPECT_TRUE(Contains(r.out, "100.00% | all 100.00% |")) << r.out;
    EXPECT_TRUE(Contains(r.out, "| ETA 00:00:00")) << r.out;
    EXPECT_TRUE(Contains(r.out, "Finished converting, all done")) << r.out;
    EXPECT_TRUE(Contains(r.out, "\r\033[K")) << "the line is redrawn in place";
}
