// In-place editing: how an edit opens, what it selects, the keys, and what closes it.
#include "tests/reportctrl/ReportTestSupport.h"

#include "controls/ReportEditor.h"

#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

namespace tavora::testing {
namespace {

using namespace controls;

class EditTest : public ReportFixture {
protected:
    void Click(int row, int column) {
        QTest::mouseClick(list_->viewport(), Qt::LeftButton, {}, CellCentre(row, column));
    }
    CReportEditor* Editor() const { return list_->Editor(); }
};

TEST_F(EditTest, ClickOnTheSelectedFocusedRowOpensTheEditor) {
    AddRows({{"a.ogg"}, {"b.ogg"}, {"c.ogg"}});
    Click(1, 0);
    EXPECT_FALSE(list_->IsCellEditing()) << "the first click only selects";
    EXPECT_EQ(list_->QueryItemFlags(1) & (ITEM_SELECTED | ITEM_FOCUSED),
              uint32_t(ITEM_SELECTED | ITEM_FOCUSED));
    Click(1, 2);
    EXPECT_FALSE(list_->IsCellEditing()) << "Type is not editable";
    Click(1, 0);
    ASSERT_TRUE(list_->IsCellEditing());
    EXPECT_TRUE(Editor()->isVisible());
    EXPECT_EQ(Editor()->text(), "b.ogg");
    EXPECT_EQ(list_->EditOriginalText(), "b.ogg");
    SaveScreenshot(window_.get(), "open_editor.png");

    // A click elsewhere while editing commits and does not reopen.
    Editor()->setText("bb.ogg");
    Click(2, 0);
    EXPECT_FALSE(list_->IsCellEditing());
    EXPECT_EQ(list_->GetCellText(1, 0), "bb.ogg");

    // With editing disabled the click rule does nothing.
    list_->EnableCellEdit(false);
    Click(2, 0);
    Click(2, 0);
    EXPECT_FALSE(list_->IsCellEditing());
}

TEST_F(EditTest, EditorSelectsTheNameUpToTheLastDot) {
    struct Case {
        const char* text;
        const char* selected;
    };
    const Case cases[] = {
        {"song.ogg", "song"},
        {"archive.tar.ogg", "archive.tar"},
        {"README", "README"},
        {".hidden", ""},
    };
    for (const Case& c : cases) {
        list_->RemoveRows(ITEM_ANY);
        AddRow({c.text});
        ASSERT_TRUE(list_->BeginCellEdit(0, 0));
        EXPECT_EQ(Editor()->selectedText().toStdString(), c.selected) << c.text;
        EXPECT_EQ(Editor()->selectionStart(), c.selected[0] ? 0 : -1) << c.text;
        EXPECT_EQ(list_->EditOriginalText(), c.text);
        EXPECT_TRUE(Editor()->hasFocus());
        // Typing replaces the selection and keeps the extension.
        QTest::keyClicks(Editor(), "new");
        QTest::keyClick(Editor(), Qt::Key_Escape);
    }
}

TEST_F(EditTest, EnterCommitsOnlyChangesAndEscapeNeverNotifies) {
    AddRows({{"a.ogg"}, {"song.ogg"}});
    ASSERT_TRUE(list_->BeginCellEdit(1, 0));
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_FALSE(list_->IsCellEditing());
    EXPECT_EQ(CountMessages(WM_REPORT_EDITED), 0) << "unchanged text";

    ASSERT_TRUE(list_->BeginCellEdit(1, 0));
    QTest::keyClicks(Editor(), "tune");
    QTest::keyClick(Editor(), Qt::Key_Escape);
    EXPECT_EQ(list_->GetCellText(1, 0), "song.ogg");
    EXPECT_EQ(CountMessages(WM_REPORT_EDITED), 0) << "Esc";

    ASSERT_TRUE(list_->BeginCellEdit(1, 0));
    QTest::keyClicks(Editor(), "tune");
    QTest::keyClick(Editor(), Qt::Key_Enter);
    EXPECT_EQ(list_->GetCellText(1, 0), "tune.ogg");
    ASSERT_EQ(CountMessages(WM_REPORT_EDITED), 1);
    const ReceivedMessage& edited = Messages().back();
    EXPECT_EQ(edited.editedRow, 1);
    EXPECT_EQ(edited.editedColumn, 0);
    EXPECT_EQ(edited.cellText, "tune.ogg") << "the new text is in the cell already";
    EXPECT_TRUE(edited.stillEditing) << "the cell stays set while the owner handles it";
    EXPECT_EQ(edited.lParam, reinterpret_cast<intptr_t>(list_));
    EXPECT_EQ(list_->EditOriginalText(), "song.ogg");
    // Case-only changes count as changes.
    ASSERT_TRUE(list_->BeginCellEdit(1, 0));
    Editor()->setText("Tune.ogg");
    EXPECT_TRUE(list_->EndCellEdit(true));
}

// A failed rename: the owner writes the old name back while it handles the edit,
// and then still reads the cell it was told about.
TEST_F(EditTest, OwnerRestoringTheOldTextKeepsTheEditedCellSet) {
    AddRows({{"a.ogg"}, {"song.ogg"}, {"c.ogg"}});
    ReportEditedCell seenAfter;
    bool editingAfter = false;
    onEdited_ = [&](const ReportEditedCell& cell) {
        list_->SetCellText(cell.row, cell.column, list_->EditOriginalText());
        seenAfter = cell;
        editingAfter = list_->IsCellEditing();
    };
    ASSERT_TRUE(list_->BeginCellEdit(1, 0));
    Editor()->setText("tune.ogg");
    QTest::keyClick(Editor(), Qt::Key_Return);

    EXPECT_EQ(seenAfter.row, 1);
    EXPECT_EQ(seenAfter.column, 0);
    EXPECT_TRUE(editingAfter);
    EXPECT_EQ(list_->GetCellText(1, 0), "song.ogg");
    EXPECT_FALSE(list_->IsCellEditing());
    EXPECT_FALSE(Editor()->isVisible());
    EXPECT_EQ(CountMessages(WM_REPORT_EDITED), 1) << "writing the old text back is no new edit";

    // An edit the handler opens on another cell is the one left open.
    onEdited_ = [&](const ReportEditedCell& cell) { list_->BeginCellEdit(cell.row + 1, 0); };
    ASSERT_TRUE(list_->BeginCellEdit(0, 0));
    Editor()->setText("aa.ogg");
    QTest::keyClick(Editor(), Qt::Key_Return);
    EXPECT_EQ(list_->GetCellText(0, 0), "aa.ogg");
    ASSERT_TRUE(list_->IsCellEditing());
    EXPECT_TRUE(Editor()->isVisible());
    EXPECT_EQ(Editor()->text(), "song.ogg");
    EXPECT_EQ(list_->FindNextItem(ITEM_SELECTED | ITEM_FOCUSED, -1), 1);
    EXPECT_EQ(CountMessages(WM_REPORT_EDITED), 2);
}

TEST_F(EditTest, UpAndDownMoveTheEditorAndWrapAround) {
    AddRows({{"a.ogg"}, {"b.ogg"}, {"c.ogg"}});
    struct Case {
        int from;
        Qt::Key key;
        int to;
    };
    const Case cases[] = {
        {0, Qt::Key_Down, 1}, {2, Qt::Key_Down, 0}, {0, Qt::Key_Up, 2}, {1, Qt::Key_Up, 0}};
    for (const Case& c : cases) {
        ASSERT_TRUE(list_->BeginCellEdit(c.from, 0));
        QTest::keyClick(Editor(), c.key);
        EXPECT_TRUE(list_->IsCellEditing());
        EXPECT_EQ(Editor()->text().toStdString(), list_->GetCellText(c.to, 0)) << c.from;
        EXPECT_EQ(list_->FindNextItem(ITEM_SELECTED | ITEM_FOCUSED, -1), c.to) << c.from;
        EXPECT_EQ(list_->CountItems(ITEM_SELECTED), 1);
        QTest::keyClick(Editor(), Qt::Key_Escape);
    }
    // Moving commits what was typed.
    ASSERT_TRUE(list_->BeginCellEdit(2, 0));
    Editor()->setText("cc.ogg");
    QTest::keyClick(Editor(), Qt::Key_Down);
    EXPECT_EQ(list_->GetCellText(2, 0), "cc.ogg");
    EXPECT_EQ(Editor()->text(), "a.ogg");
}

TEST_F(EditTest, TabMovesAcrossTheEditableColumns) {
    AddRows({{"a.ogg"}, {"b.ogg"}});
    // One editable column: Tab commits and reopens the same cell.
    ASSERT_TRUE(list_->BeginCellEdit(1, 0));
    Editor()->setText("x.ogg");
    QTest::keyClick(Editor(), Qt::Key_Tab);
    EXPECT_EQ(list_->GetCellText(1, 0), "x.ogg");
    EXPECT_TRUE(list_->IsCellEditing());
    EXPECT_EQ(Editor()->text(), "x.ogg");
    EXPECT_EQ(CountMessages(WM_REPORT_EDITED), 1);

    ASSERT_TRUE(list_->AddEditableColumn(2));
    ASSERT_TRUE(list_->AddEditableColumn(5));
    EXPECT_FALSE(list_->AddEditableColumn(2));
    EXPECT_FALSE(list_->AddEditableColumn(8));
    EXPECT_FALSE(list_->AddEditableColumn(-1));
    // Only an edit of column 0 records the original text; the owner may set it too.
    list_->SetEditOriginalText("set by the owner");
    ASSERT_TRUE(list_->BeginCellEdit(0, 2));
    EXPECT_EQ(list_->EditOriginalText(), "set by the owner");
    ASSERT_TRUE(list_->BeginCellEdit(0, 0));
    EXPECT_EQ(list_->EditOriginalText(), "a.ogg");
    list_->EndCellEdit(false);
    struct Case {
        int from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int to;
    };
    const Case cases[] = {{0, Qt::Key_Tab, {}, 2},
                          {2, Qt::Key_Tab, {}, 5},
                          {5, Qt::Key_Tab, {}, 0},
                          {0, Qt::Key_Backtab, Qt::ShiftModifier, 5},
                          {2, Qt::Key_Tab, Qt::ShiftModifier, 0}};
    for (const Case& c : cases) {
        ASSERT_TRUE(list_->BeginCellEdit(0, c.from));
        QTest::keyClick(Editor(), c.key, c.modifiers);
        ASSERT_TRUE(list_->IsCellEditing());
        EXPECT_EQ(Editor()->text().toStdString(), list_->GetCellText(0, c.to)) << c.from;
        // The editor moved over the new cell.
        const QRect cell = list_->visualRect(list_->model()->index(0, c.to));
        EXPECT_TRUE(cell.contains(Editor()->geometry().center())) << c.from << " -> " << c.to;
        list_->EndCellEdit(false);
    }
}

TEST_F(EditTest, ScrollingDiscardsTheTypedText) {
    for (int i = 0; i < 60; ++i)
        AddRow({Numbered("f", i, ".ogg")});
    ASSERT_TRUE(list_->BeginCellEdit(0, 0));
    Editor()->setText("typed.ogg");
    QWheelEvent wheel(QPointF(50, 50), list_->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list_->viewport(), &wheel);
    EXPECT_FALSE(list_->IsCellEditing());
    EXPECT_EQ(list_->GetCellText(0, 0), "f0.ogg");

    ASSERT_TRUE(list_->BeginCellEdit(0, 0));
    Editor()->setText("typed.ogg");
    list_->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_FALSE(list_->IsCellEditing());
    EXPECT_EQ(list_->GetCellText(0, 0), "f0.ogg");
    EXPECT_EQ(CountMessages(WM_REPORT_EDITED), 0);
}

TEST_F(EditTest, SpaceDoesNothingWhileNoEditIsOpen) {
    AddRows({{"a.ogg"}, {"b.ogg"}});
    list_->ApplyItemFlags(1, ITEM_FOCUSED);
    QTest::keyClick(list_, Qt::Key_Space);
    EXPECT_EQ(list_->CountItems(ITEM_SELECTED), 0);
    QTest::keyClick(list_, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(list_->CountItems(ITEM_SELECTED), 0);
}

TEST_F(EditTest, EditorSitsAfterTheCellImage) {
    AddRows({{"a.ogg"}});
    list_->SetCellImage(0, 2, 0);
    const int iconWidth = list_->iconSize().width();
    struct Case {
        int column;
        bool image;
    };
    for (const Case c : {Case{0, true}, Case{2, true}, Case{3, false}, Case{0, true}}) {
        list_->AddEditableColumn(c.column);
        ASSERT_TRUE(list_->BeginCellEdit(0, c.column));
        const QRect cell = list_->visualRect(list_->model()->index(0, c.column));
        const QRect editor = Editor()->geometry();
        if (c.image)
            EXPECT_GE(editor.left(), cell.left() + iconWidth) << c.column;
        else
            EXPECT_LT(editor.left(), cell.left() + 8) << c.column;
        EXPECT_LE(editor.right(), cell.right()) << c.column;
        EXPECT_EQ(editor.center().y(), cell.center().y()) << c.column;
        // Aligned as the column's header: Name left, the others right.
        EXPECT_EQ(Editor()->alignment() & Qt::AlignHorizontal_Mask,
                  c.column == 0 ? Qt::AlignLeft : Qt::AlignRight)
            << c.column;
        list_->EndCellEdit(false);
    }
}

TEST_F(EditTest, RowAndCellChangesCloseTheEdit) {
    AddRows({{"a.ogg"}, {"b.ogg"}, {"c.ogg"}});
    struct Case {
        const char* what;
        std::function<void()> change;
        bool committed;
    };
    const Case cases[] = {
        {"another row removed", [&] { list_->RemoveRow(2, false); }, true},
        {"a cell set", [&] { list_->SetCellText(0, 3, "x"); }, true},
        {"a row inserted", [&] { AddRow({"d.ogg"}); }, true},
        {"editing disabled", [&] { list_->EnableCellEdit(false); }, true},
        {"rows removed by filter", [&] { list_->RemoveRows(ITEM_SELECTED); }, false},
        {"its own row removed", [&] { list_->RemoveRow(1, false); }, false},
    };
    for (const Case& c : cases) {
        list_->RemoveRows(ITEM_ANY);
        AddRows({{"a.ogg"}, {"b.ogg"}, {"c.ogg"}});
        list_->EnableCellEdit(true);
        received_.clear();
        ASSERT_TRUE(list_->BeginCellEdit(1, 0));
        Editor()->setText("typed.ogg");
        c.change();
        EXPECT_FALSE(list_->IsCellEditing()) << c.what;
        EXPECT_EQ(CountMessages(WM_REPORT_EDITED), c.committed ? 1 : 0) << c.what;
    }
    EXPECT_FALSE(list_->BeginCellEdit(5, 0));
    EXPECT_FALSE(list_->BeginCellEdit(0, 8));
    EXPECT_FALSE(list_->EndCellEdit(true));

    // Destroying the list discards an open edit without telling the owner.
    received_.clear();
    ASSERT_TRUE(list_->BeginCellEdit(0, 0));
    Editor()->setText("typed.ogg");
    delete list_;
    list_ = nullptr;
    EXPECT_EQ(CountMessages(WM_REPORT_EDITED), 0);
}

} // namespace
} // namespace tavora::testing
