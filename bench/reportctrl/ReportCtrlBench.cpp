// The report list with 10,000 rows of eight cells, shown on the offscreen
// platform: inserting and filling the rows, SortRows by Name and by Size(MB), and
// PaintRowBands, each against a std::sort of the same keys measured in this run.
// Targets: fill < 1 s, Name sort < 150 ms, Size sort < 60 ms, bands < 50 ms.
#include "controls/ReportCtrl.h"
#include "controls/ReportRowReader.h"

#include <QApplication>
#include <QEventLoop>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace tavora::controls;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRows = 10000;
constexpr int kRuns = 5;

struct Entry {
    int32_t unusable = 0;
    uint8_t type = 1;
    uint32_t sampleRate = 44100;
    uint32_t channels = 2;
    uint64_t totalSamples = 0;
    double size = 0;
    double duration = 0;
};

class EntryReader : public ReportRowReader {
public:
    bool IsUnusable(const void* data) const override {
        return static_cast<const Entry*>(data)->unusable != 0;
    }
    bool IsNumericColumn(int column) const override {
        return column == 3 || column == 6 || column == 7;
    }
    double SortNumber(const void* data, int column) const override {
        const auto* e = static_cast<const Entry*>(data);
        return column == 3 ? e->size : column == 6 ? e->sampleRate : e->channels;
    }
};

struct FileData {
    std::string name, path, modified, duration, frequency;
    Entry entry;
};

std::vector<FileData> MakeFiles(std::mt19937& random) {
    static const char* words[] = {"Allegro", "bass",     "Coda",  "drums",  "Echo", "fugue",
                                  "groove",  "Hymn",     "intro", "Jazz",   "koto", "Lullaby",
                                  "march",   "Nocturne", "opus",  "Prelude"};
    std::uniform_int_distribution<int> word(0, 15), number(0, 999), day(1, 28);
    std::uniform_real_distribution<double> size(0.1, 120.0);
    std::vector<FileData> files(kRows);
    for (int i = 0; i < kRows; ++i) {
        FileData& f = files[static_cast<size_t>(i)];
        f.name = std::string(words[word(random)]) + " " + words[word(random)] + " " +
                 std::to_string(number(random)) + ".ogg";
        f.path = std::string("/home/user/Music/") + words[word(random)] + "/";
        char date[32];
        std::snprintf(date, sizeof date, "2023/%02d/%02d 12:%02d:00", day(random) % 12 + 1,
                      day(random), number(random) % 60);
        f.modified = date;
        f.duration = "00:0" + std::to_string(number(random) % 10) + ":30";
        f.entry.size = size(random);
        f.entry.sampleRate = (i % 3 == 0) ? 48000 : 44100;
        f.entry.channels = (i % 5 == 0) ? 1 : 2;
        f.frequency = std::to_string(f.entry.sampleRate) + " Hz";
        f.entry.unusable = (i % 97 == 0) ? 1 : 0;
    }
    return files;
}

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

void Fill(CReportCtrl& list, std::vector<FileData>& files) {
    for (int i = 0; i < kRows; ++i) {
        FileData& f = files[static_cast<size_t>(i)];
        const int row =
            list.InsertRow(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, i, f.name, 0, 0, 0, &f.entry);
        list.SetCellText(row, 1, f.path);
        list.SetCellText(row, 2, f.entry.unusable ? "Unknown" : "OGG");
        if (f.entry.unusable)
            list.SetCellTextColour(row, 2, MakeColour(255, 0, 0), false);
        list.SetCellNumber(row, 3, f.entry.size, 2);
        list.SetCellText(row, 4, f.modified);
        list.SetCellText(row, 5, f.duration);
        list.SetCellText(row, 6, f.frequency);
        list.SetCellText(row, 7, f.entry.channels == 1 ? "1 (Mono)" : "2 (Stereo)");
    }
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Report(const char* what, double ms, double baselineMs, double targetMs) {
    std::printf("%-34s %9.2f ms   baseline %8.2f ms   ratio %7.1f   target < %5.0f ms  %s\n", what,
                ms, baselineMs, baselineMs > 0 ? ms / baselineMs : 0.0, targetMs,
                ms < targetMs ? "ok" : "OVER");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::mt19937 random(20240601);

    CReportCtrl list;
    list.resize(1000, 600);
    list.SetRowReader(std::make_shared<EntryReader>());
    const char* titles[] = {"Name",          "Path",     "Type",      "Size(MB)",
                            "Last Modified", "Duration", "Frequency", "Channel"};
    const int widths[] = {150, 150, 65, 85, 120, 88, 96, 88};
    for (int c = 0; c < 8; ++c)
        list.AddColumn(c, titles[c], c < 2 ? LVCFMT_LEFT : LVCFMT_RIGHT, widths[c]);
    list.show();
    QApplication::processEvents();

    std::vector<double> fill, fillWorker, byName, bySize, bySelected, bands, baseName, baseSize,
        baseFill;
    for (int run = 0; run < kRuns; ++run) {
        std::vector<FileData> files = MakeFiles(random);
        list.RemoveRows(ITEM_ANY);
        QApplication::processEvents();

        auto t0 = Clock::now();
        Fill(list, files);
        auto t1 = Clock::now();
        fill.push_back(Ms(t0, t1));
        QApplication::processEvents();

        // Baseline for the fill: the same strings copied into plain vectors.
        t0 = Clock::now();
        std::vector<std::vector<std::string>> plain(kRows);
        for (int i = 0; i < kRows; ++i) {
            const FileData& f = files[static_cast<size_t>(i)];
            plain[static_cast<size_t>(i)] = {f.name,     f.path,     "OGG",       "1.00",
                                             f.modified, f.duration, f.frequency, "2 (Stereo)"};
        }
        t1 = Clock::now();
        baseFill.push_back(Ms(t0, t1));

        // The same keys with std::sort.
        std::vector<std::string> names;
        std::vector<double> sizes;
        for (const FileData& f : files) {
            names.push_back(f.name);
            sizes.push_back(f.entry.size);
        }
        t0 = Clock::now();
        std::sort(names.begin(), names.end());
        t1 = Clock::now();
        baseName.push_back(Ms(t0, t1));
        t0 = Clock::now();
        std::sort(sizes.begin(), sizes.end());
        t1 = Clock::now();
        baseSize.push_back(Ms(t0, t1));

        list.SetSortKeys({{0, 1}});
        t0 = Clock::now();
        list.SortRows(0, kRows - 1, true);
        t1 = Clock::now();
        byName.push_back(Ms(t0, t1));
        if (list.GetCellText(0, 0) != names.front())
            std::puts("Name sort: wrong first row");

        list.SetSortKeys({{3, 1}, {0, 1}});
        t0 = Clock::now();
        list.SortRows(0, kRows - 1, true);
        t1 = Clock::now();
        bySize.push_back(Ms(t0, t1));
        if (static_cast<const Entry*>(list.GetRowData(0))->size != sizes.front())
            std::puts("Size sort: wrong first row");

        // Selection and focus travel with the rows: every row selected.
        list.ApplyItemFlagsToAll(ITEM_ANY, ITEM_SELECTED);
        list.ApplyItemFlags(kRows / 2, ITEM_FOCUSED);
        list.SetSortKeys({{4, 1}});
        t0 = Clock::now();
        list.SortRows(0, kRows - 1, true);
        t1 = Clock::now();
        bySelected.push_back(Ms(t0, t1));
        if (list.CountItems(ITEM_SELECTED) != kRows)
            std::puts("Sort with selection: rows lost their selection");
        list.ApplyItemFlagsToAll(ITEM_ANY, ITEM_UNSELECTED);

        t0 = Clock::now();
        list.PaintRowBands(true);
        t1 = Clock::now();
        bands.push_back(Ms(t0, t1));
        QApplication::processEvents();

        // The loading worker's way: redraw off, then every call carried to the GUI
        // thread, which meanwhile runs its event loop.
        list.RemoveRows(ITEM_ANY);
        QEventLoop loop;
        t0 = Clock::now();
        std::thread worker([&] {
            list.SetRedraw(false);
            Fill(list, files);
            list.SetRedraw(true);
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec();
        worker.join();
        t1 = Clock::now();
        fillWorker.push_back(Ms(t0, t1));
    }

    std::printf("Report list, %d rows x 8 cells, median of %d runs (offscreen, shown)\n", kRows,
                kRuns);
    Report("insert + fill (GUI thread)", Median(fill), Median(baseFill), 1000);
    Report("insert + fill (worker thread)", Median(fillWorker), Median(baseFill), 1000);
    Report("SortRows by Name", Median(byName), Median(baseName), 150);
    Report("SortRows by Size(MB)", Median(bySize), Median(baseSize), 60);
    Report("SortRows by date, all selected", Median(bySelected), Median(baseName), 150);
    Report("PaintRowBands", Median(bands), Median(baseSize), 50);
    std::puts("Baselines: fill = copying the same strings into vectors; sorts and bands = "
              "std::sort of the same keys (bands against the size keys).");
    return 0;
}
