#pragma once

#include "controls/ReportCtrl.h"
#include "controls/ReportHeader.h"
#include "controls/ReportRowReader.h"
#include "platform/QueueMessageTarget.h"

#include <gtest/gtest.h>

#include <QEvent>
#include <QPoint>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace tavora::testing {

// Laid out like the file list's entries: the unusable flag first.
struct TestEntry {
    int32_t unusable = 0;
    uint8_t type = 1;
    uint32_t sampleRate = 44100;
    uint32_t channels = 2;
    uint64_t totalSamples = 0;
    double size = 0;
    double duration = 0;
};

// Columns 3, 6 and 7 sort by size, rate and channels. Remembers the sorting flag
// it saw while the list compared numbers.
class TestEntryReader : public controls::ReportRowReader {
public:
    bool IsUnusable(const void* data) const override;
    bool IsNumericColumn(int column) const override;
    double SortNumber(const void* data, int column) const override;

    mutable std::atomic<int> sortingFlagSeen{0};
};

struct ReceivedMessage {
    uint32_t id = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    // WM_REPORT_EDITED: what the owner could read while handling it.
    int32_t editedRow = -1;
    int32_t editedColumn = -1;
    std::string cellText;
    bool stillEditing = false;
};

struct FileRow {
    std::string name;
    std::string path = "/music/";
    std::string type = "OGG";
    double size = 1.0;
    std::string modified = "2024/01/01 10:00:00";
    std::string duration = "00:03:00";
    uint32_t rate = 44100;
    uint32_t channels = 2;
    int32_t unusable = 0;
};

// A shown file list with the eight columns of the main window, notifications
// going to a queue that the test drains.
class ReportFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    int AddRow(const FileRow& row);
    void AddRows(const std::vector<FileRow>& rows);
    std::vector<std::string> Column(int column) const;
    // Handles what was posted so far; returns every message received since SetUp.
    const std::vector<ReceivedMessage>& Messages();
    int CountMessages(uint32_t id);

    controls::CReportHeader* Header() const;
    QPoint SectionCentre(int column) const;
    // The divider at the right edge of column, in header viewport coordinates.
    QPoint DividerPoint(int column) const;
    QPoint CellCentre(int row, int column) const;

    std::unique_ptr<QWidget> window_;
    controls::CReportCtrl* list_ = nullptr;
    std::shared_ptr<TestEntryReader> reader_;
    std::vector<std::unique_ptr<TestEntry>> entries_;
    std::shared_ptr<platform::QueueMessageTarget> notify_;
    std::vector<ReceivedMessage> received_;
    // Runs inside the WM_REPORT_EDITED handler, as the owner's own handling would.
    std::function<void(const controls::ReportEditedCell&)> onEdited_;
};

// Real mouse events with the button held through the move.
void SendMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
               QPoint pos, Qt::KeyboardModifiers modifiers = {});
void Drag(QWidget* target, QPoint from, QPoint to);

// "<prefix><n><suffix>", for numbered file names.
std::string Numbered(const char* prefix, int n, const char* suffix = "");

// Saves a screenshot under the build folder's screenshots/.
void SaveScreenshot(QWidget* widget, const std::string& name);

inline constexpr const char* kTitles[] = {"Name",          "Path",     "Type",      "Size(MB)",
                                          "Last Modified", "Duration", "Frequency", "Channel"};
inline constexpr int kWidths[] = {150, 150, 65, 85, 120, 88, 96, 88};

} // namespace tavora::testing
