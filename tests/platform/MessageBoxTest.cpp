#include "platform/MessageBox.h"
#include "platform/Instance.h"

#include <gtest/gtest.h>

#include <thread>

using namespace tavora::platform;

TEST(MessageBox, ResponderRecordsBoxesAndAnswersAsScripted) {
    SetInstanceName("tavora");
    ScopedMessageResponder boxes;
    boxes->Answer(MsgResult::No);
    EXPECT_EQ(ShowMessage(nullptr, "Remove?", MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(ShowMessage(nullptr, "Again?", MsgButtons::YesNo), MsgResult::Yes); // script used up
    EXPECT_EQ(ShowMessage(nullptr, "Failed", MsgButtons::Ok, MsgIcon::Error), MsgResult::Ok);
    // A box from a worker thread goes through the same responder.
    std::thread([] { ShowMessage(nullptr, "Error Loading Lame_enc.dll"); }).join();

    const auto shown = boxes->Boxes();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].caption, "tavora");
    EXPECT_EQ(shown[0].icon, MsgIcon::Question);    // Yes/No without an icon of its own
    EXPECT_EQ(shown[2].icon, MsgIcon::Error);       // its own icon kept
    EXPECT_EQ(shown[3].icon, MsgIcon::Exclamation); // OK without an icon of its own
    EXPECT_EQ(shown[3].text, "Error Loading Lame_enc.dll");
}

TEST(MessageBox, GuardRestoresThePreviousPresenter) {
    ScopedMessageResponder outer;
    {
        ScopedMessageResponder inner;
        ShowMessage(nullptr, "inner");
        EXPECT_EQ(inner->Count(), 1u);
    }
    ShowMessage(nullptr, "outer");
    EXPECT_EQ(outer->Texts(), std::vector<std::string>{"outer"});
}

TEST(Instance, NameIsTheExecutableFileWithoutFolderOrExtension) {
    EXPECT_EQ(InstanceNameFromArgv0("/usr/bin/tavora"), "tavora");
    EXPECT_EQ(InstanceNameFromArgv0("./build/Tavora Copy.exe"), "Tavora Copy");
    EXPECT_EQ(InstanceNameFromArgv0("tavora-convert"), "tavora-convert");
}
