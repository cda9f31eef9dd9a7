#include "tests/reportctrl/ReportTestSupport.h"

#include "controls/ProcessFlags.h"
#include "controls/ReportImageList.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <QVBoxLayout>

namespace tavora::testing {
namespace {

// One QApplication for the whole binary, on the offscreen platform.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "reportctrl_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        controls::SetModernOsFlag(1);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

QIcon SolidIcon(QColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

bool TestEntryReader::IsUnusable(const void* data) const {
    return static_cast<const TestEntry*>(data)->unusable != 0;
}

bool TestEntryReader::IsNumericColumn(int column) const {
    return column == 3 || column == 6 || column == 7;
}

double TestEntryReader::SortNumber(const void* data, int column) const {
    sortingFlagSeen.store(controls::SortingFlag());
    const auto* entry = static_cast<const TestEntry*>(data);
    switch (column) {
    case 3:
        return entry->size;
    case 6:
        return entry->sampleRate;
    default:
        return entry->channels;
    }
}

void ReportFixture::SetUp() {
    window_ = std::make_unique<QWidget>();
    window_->resize(1000, 360);
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new controls::CReportCtrl(window_.get());
    layout->addWidget(list_);

    notify_ = std::make_shared<platform::QueueMessageTarget>();
    notify_->SetHandler([this](platform::Message& msg) {
        ReceivedMessage r;
        r.id = msg.id;
        r.wParam = msg.wParam;
        r.lParam = msg.lParam;
        if (msg.id == controls::WM_REPORT_EDITED) {
            const auto& cell = controls::EditedCellOf(msg);
            r.editedRow = cell.row;
            r.editedColumn = cell.column;
            r.cellText = list_->GetCellText(cell.row, cell.column);
            r.stillEditing = list_->IsCellEditing();
        }
        received_.push_back(r);
        if (msg.id == controls::WM_REPORT_EDITED && onEdited_)
            onEdited_(controls::EditedCellOf(msg));
    });
    list_->SetNotifyWindow(notify_);

    reader_ = std::make_shared<TestEntryReader>();
    list_->SetRowReader(reader_);
    list_->ApplyExtendedStyle(0x10430);
    for (int c = 0; c < 8; ++c)
        list_->AddColumn(c, kTitles[c], c < 2 ? controls::LVCFMT_LEFT : controls::LVCFMT_RIGHT,
                         kWidths[c]);
    auto images = std::make_shared<controls::ReportImageList>();
    images->Add(SolidIcon(QColor(40, 160, 60)));
    list_->SetSmallImageList(images);
    auto arrows = std::make_shared<controls::ReportImageList>();
    arrows->Add(QIcon());
    arrows->Add(SolidIcon(QColor(30, 30, 200)));
    arrows->Add(SolidIcon(QColor(200, 30, 30)));
    list_->SetHeaderImageList(arrows);
    list_->EnableHeaderSort(true);
    list_->SetSortKeys({{0, 1}});
    list_->EnableCellEdit(true);
    list_->AddEditableColumn(0);

    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    (void)QTest::qWaitForWindowActive(window_.get());
    list_->setFocus();
}

void ReportFixture::TearDown() {
    window_.reset();
    notify_->Close();
}

int ReportFixture::AddRow(const FileRow& row) {
    auto entry = std::make_unique<TestEntry>();
    entry->size = row.size;
    entry->sampleRate = row.rate;
    entry->channels = row.channels;
    entry->unusable = row.unusable;
    const int at =
        list_->InsertRow(controls::LVIF_TEXT | controls::LVIF_IMAGE | controls::LVIF_PARAM,
                         list_->CountItems(controls::ITEM_ANY), row.name, 0, 0, 0, entry.get());
    entries_.push_back(std::move(entry));
    list_->SetCellText(at, 1, row.path);
    list_->SetCellText(at, 2, row.type);
    list_->SetCellNumber(at, 3, row.size, 2);
    list_->SetCellText(at, 4, row.modified);
    list_->SetCellText(at, 5, row.duration);
    list_->SetCellText(at, 6, std::to_string(row.rate) + " Hz");
    list_->SetCellText(at, 7, std::to_string(row.channels));
    return at;
}

void ReportFixture::AddRows(const std::vector<FileRow>& rows) {
    for (const FileRow& row : rows)
        AddRow(row);
}

std::vector<std::string> ReportFixture::Column(int column) const {
    std::vector<std::string> texts;
    for (int r = 0; r < list_->CountItems(controls::ITEM_ANY); ++r)
        texts.push_back(list_->GetCellText(r, column));
    return texts;
}

const std::vector<ReceivedMessage>& ReportFixture::Messages() {
    notify_->ProcessPending();
    return received_;
}

int ReportFixture::CountMessages(uint32_t id) {
    int count = 0;
    for (const ReceivedMessage& m : Messages())
        count += m.id == id ? 1 : 0;
    return count;
}

controls::CReportHeader* ReportFixture::Header() const {
    return static_cast<controls::CReportHeader*>(list_->header());
}

QPoint ReportFixture::SectionCentre(int column) const {
    auto* header = list_->header();
    return QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                  header->height() / 2);
}

QPoint ReportFixture::DividerPoint(int column) const {
    auto* header = list_->header();
    return QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) - 1,
                  header->height() / 2);
}

QPoint ReportFixture::CellCentre(int row, int column) const {
    return list_->visualRect(list_->model()->index(row, column)).center();
}

void SendMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
               QPoint pos, Qt::KeyboardModifiers modifiers) {
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, held,
                      modifiers);
    QApplication::sendEvent(target, &event);
}

void Drag(QWidget* target, QPoint from, QPoint to) {
    SendMouse(target, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, from);
    const int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        const QPoint at = from + (to - from) * i / steps;
        SendMouse(target, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, at);
    }
    SendMouse(target, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, to);
}

std::string Numbered(const char* prefix, int n, const char* suffix) {
    std::string text = prefix;
    text += std::to_string(n);
    text += suffix;
    return text;
}

void SaveScreenshot(QWidget* widget, const std::string& name) {
    QDir().mkpath(QStringLiteral(TAVORA_SCREENSHOT_DIR));
    const QString path = QStringLiteral(TAVORA_SCREENSHOT_DIR) + "/" + QString::fromStdString(name);
    EXPECT_TRUE(widget->grab().save(path)) << path.toStdString();
}

} // namespace tavora::testing
