// Calls from a worker thread run on the GUI thread, and sorts never overlap.
#include "tests/reportctrl/ReportTestSupport.h"

#include "controls/ProcessFlags.h"
#include "controls/ReportGuiCaller.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace tavora::testing {
namespace {

using namespace controls;

class ThreadTest : public ReportFixture {
protected:
    // Keeps the GUI thread handling events until done is set.
    static void PumpUntil(const std::atomic<bool>& done) {
        while (!done.load())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

TEST_F(ThreadTest, WorkerFillsRowsThroughTheGuiThread) {
    constexpr int kRows = 40;
    for (int i = 0; i < kRows; ++i)
        list_->InsertRow(LVIF_TEXT | LVIF_IMAGE, i, "", 0, 0, 0, nullptr);
    QThread* gui = QThread::currentThread();
    std::atomic<int> offThreadChanges{0};
    QObject::connect(
        list_->model(), &QAbstractItemModel::dataChanged, list_,
        [&] {
            if (QThread::currentThread() != gui)
                ++offThreadChanges;
        },
        Qt::DirectConnection);

    std::vector<TestEntry> entries(kRows);
    std::atomic<bool> done{false};
    int columns = 0, rows = 0;
    bool dataRoundTrip = true;
    std::thread worker([&] {
        columns = list_->GetColumnCount();
        rows = list_->CountItems(ITEM_ANY);
        for (int r = 0; r < rows; ++r) {
            entries[size_t(r)].size = r / 4.0;
            list_->SetRowData(r, &entries[size_t(r)]);
            dataRoundTrip &= list_->GetRowData(r) == &entries[size_t(r)];
            list_->SetCellText(r, 0, Numbered("f", r, ".ogg"));
            list_->SetCellNumber(r, 3, r / 4.0, 2);
            list_->SetCellImage(r, 0, 0);
            if (r % 5 == 0)
                list_->SetCellTextColour(r, 2, MakeColour(255, 0, 0), true);
        }
        list_->SetHeaderItemImage(3, 1, false);
        list_->SetSortKeys({{3, 0}});
        list_->SortRows(0, rows - 1, true);
        done = true;
    });
    PumpUntil(done);
    worker.join();

    EXPECT_EQ(columns, 8);
    EXPECT_EQ(rows, kRows);
    EXPECT_TRUE(dataRoundTrip);
    EXPECT_EQ(offThreadChanges.load(), 0);
    EXPECT_EQ(list_->GetCellText(0, 3), "9.75");
    EXPECT_EQ(list_->GetCellText(kRows - 1, 3), "0.00");
    EXPECT_EQ(list_->GetCellImage(5, 0), 0);
    EXPECT_EQ(list_->GetHeaderItemImage(3), 1);
    EXPECT_EQ(CountMessages(WM_REPORT_SORTED), 1);
}

TEST_F(ThreadTest, RowsAddedWithRedrawOffAreLaidOutWhenRedrawComesBack) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        list_->SetRedraw(false);
        for (int r = 0; r < 30; ++r)
            list_->InsertRow(LVIF_TEXT, r, Numbered("f", r, ".ogg"), 0, 0, 0, nullptr);
        done = true;
    });
    PumpUntil(done);
    worker.join();
    QTest::qWait(20); // the view's own delayed layout has had its chance

    list_->SetRedraw(true);
    for (int r : {0, 17, 29}) {
        const QModelIndex hit = list_->indexAt(CellCentre(r, 0));
        EXPECT_EQ(hit.row(), r);
        EXPECT_FALSE(list_->visualRect(list_->model()->index(r, 0)).isEmpty()) << r;
    }

    // Redraw turned back on by other means: the next paint lays the rows out.
    list_->SetRedraw(false);
    AddRow({"late.ogg"});
    QTest::qWait(20);
    list_->setUpdatesEnabled(true);
    list_->viewport()->grab();
    EXPECT_EQ(list_->indexAt(CellCentre(30, 0)).row(), 30);
}

// Counts how many comparisons run at the same moment.
class OverlapReader : public TestEntryReader {
public:
    double SortNumber(const void* data, int column) const override {
        const int now = ++inside;
        maxInside.store(std::max(maxInside.load(), now));
        if (QThread::currentThread() != gui)
            ++offGui;
        const double value = TestEntryReader::SortNumber(data, column);
        --inside;
        return value;
    }
    QThread* gui = nullptr;
    mutable std::atomic<int> inside{0}, maxInside{0}, offGui{0};
};

TEST_F(ThreadTest, WorkerSortsAndHeaderClicksNeverOverlap) {
    auto reader = std::make_shared<OverlapReader>();
    reader->gui = QThread::currentThread();
    list_->SetRowReader(reader);
    std::vector<FileRow> rows;
    for (int i = 0; i < 400; ++i)
        rows.push_back({Numbered("f", i), "/", "OGG", double((i * 37) % 101)});
    AddRows(rows);

    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 20; ++i) {
            list_->SetSortKeys({{3, i % 2}});
            list_->SortRows(0, list_->CountItems(ITEM_ANY) - 1, true);
        }
        done = true;
    });
    while (!done.load()) {
        QTest::mouseClick(list_->header()->viewport(), Qt::LeftButton, {}, SectionCentre(3));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }
    worker.join();

    EXPECT_EQ(reader->maxInside.load(), 1);
    EXPECT_EQ(reader->offGui.load(), 0);
    EXPECT_EQ(SortingFlag(), 0);
    // Whatever order the calls came in, the last sort left a sorted list.
    const auto key = list_->SortKeys().front();
    for (int r = 1; r < list_->CountItems(ITEM_ANY); ++r) {
        const double a = static_cast<const TestEntry*>(list_->GetRowData(r - 1))->size;
        const double b = static_cast<const TestEntry*>(list_->GetRowData(r))->size;
        EXPECT_TRUE(key.ascending ? a <= b : a >= b) << r;
    }
}

// The carrier itself: a caller waiting when the list goes is let go, and what the
// call throws reaches the caller.
TEST(ReportGuiCallerTest, ClosingReleasesWaitingCallersAndErrorsReachTheCaller) {
    QObject gui;
    {
        ReportGuiCaller caller(&gui);
        std::atomic<bool> ran{false};
        std::atomic<int> result{-1};
        std::thread worker([&] { result = caller.Call([&] { ran = true; }) ? 1 : 0; });
        // No events are handled meanwhile, so the call is still waiting (or not yet
        // posted) when the caller closes; either way it must come back unrun.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        caller.Close();
        worker.join();
        EXPECT_EQ(result.load(), 0);
        QCoreApplication::processEvents();
        EXPECT_FALSE(ran.load());
        std::thread late([&] { result = caller.Call([&] { ran = true; }) ? 1 : 0; });
        late.join();
        EXPECT_EQ(result.load(), 0);
        EXPECT_FALSE(ran.load());
    }

    ReportGuiCaller caller(&gui);
    std::atomic<bool> done{false};
    std::string error;
    std::thread worker([&] {
        try {
            caller.Call([] { throw std::runtime_error("refused"); });
        } catch (const std::runtime_error& e) {
            error = e.what();
        }
        done = true;
    });
    while (!done.load())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    worker.join();
    EXPECT_EQ(error, "refused");
}

} // namespace
} // namespace tavora::testing
