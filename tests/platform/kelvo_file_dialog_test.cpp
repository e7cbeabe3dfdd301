// The program's own file dialog on the headless window system: what it lists, moving between folders,
// and what Open and Save take (extension added, replacing asked once, names of any bytes).

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/linux/kelvo_file_dialog.h"
#include "tests/support/scoped_folders.h"
#include "tests/ui/headless_fixture.h"
#include "ui/controls/m_button.h"
#include "ui/controls/m_combo_box.h"
#include "ui/controls/m_edit.h"
#include "ui/controls/m_list_box.h"
#include "ui/controls/m_text.h"
#include "ui/framework/window_system.h"

namespace fs = std::filesystem;

namespace {

class KelvoFileDialogTest : public HeadlessFixture {
protected:
    KelvoFileDialogTest()
    {
        // a.xml, B.XML, notes.txt, .hidden.xml, a file named by a byte that is not UTF-8, sub/ and
        // sub/inner.xml, .secret/.
        for (const char* name : {"a.xml", "B.XML", "notes.txt", ".hidden.xml", "\xff.xml", "sub/inner.xml"}) {
            fs::create_directories((Root() / name).parent_path());
            WriteFileBytes(Root() / name, "<profile/>");
        }
        fs::create_directories(Root() / ".secret");
    }
    fs::path Root() const { return m_folder.Path(); }

    FileChooserRequest Request(FileChooserRequest::Kind kind) const
    {
        FileChooserRequest request;
        request.kind = kind;
        request.title = L"Import profile";
        request.filters = {{L"Custom Key (*.xml)", {L"*.xml"}}, {L"All files", {L"*"}}};
        request.folder = NativeFilePath(Root().string());
        return request;
    }

    // Runs the dialog; `act` runs inside it once it is open.
    std::optional<NativeFilePath> RunWith(KelvoFileDialog& dialog, std::function<void()> act)
    {
        WindowSystem::PostClosure([this, &dialog, act = std::move(act)] {
            Pump();
            EXPECT_TRUE(dialog.IsLive());
            act();
            // The modal loop takes what the actions posted (a close ends it). A test that failed half-way
            // does not leave the dialog waiting.
            if (dialog.IsLive())
                dialog.DoCancel();
        });
        return dialog.Run();
    }

    static void Notify(KelvoFileDialog& dialog, unsigned id, unsigned code, unsigned wParam = 0)
    {
        MControl* control = dialog.GetControl(id);
        ASSERT_NE(control, nullptr) << id;
        control->SendMessageW(code, wParam, 0);
    }
    static void TypeName(KelvoFileDialog& dialog, const std::string& name)
    {
        auto* field = dynamic_cast<MEdit*>(dialog.GetControl(KelvoFileDialog::kNameId));
        ASSERT_NE(field, nullptr);
        field->SetControlTitle(Utf8ToWide(name).c_str());
    }
    static CString Title(KelvoFileDialog& dialog, unsigned id)
    {
        auto* control = dynamic_cast<MControlFont*>(dialog.GetControl(id));
        return control ? control->GetTitle() : CString(L"<missing>");
    }

    ScopedTempDir m_folder;
};

TEST_F(KelvoFileDialogTest, ListsTheFolderAndMovesThroughFolders)
{
    KelvoFileDialog dialog(Request(FileChooserRequest::Kind::Open), FileDialogTexts());
    const auto chosen = RunWith(dialog, [&] {
        EXPECT_EQ(dialog.FolderNames(), std::vector<std::string>{"sub"});
        EXPECT_EQ(dialog.FileNames(), (std::vector<std::string>{"a.xml", "B.XML", "\xff.xml"}));
        auto* files = dynamic_cast<MListBox*>(dialog.GetControl(KelvoFileDialog::kFilesId));
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->GetCount(), 3);
        // Every file, with the second type.
        auto* type = dynamic_cast<MComboBox*>(dialog.GetControl(KelvoFileDialog::kTypeId));
        ASSERT_NE(type, nullptr);
        type->SetCurSel(1);
        Notify(dialog, KelvoFileDialog::kTypeId, 2, 1);
        EXPECT_EQ(dialog.FileNames().size(), 4u);
        type->SetCurSel(0);
        Notify(dialog, KelvoFileDialog::kTypeId, 2, 0);

        Notify(dialog, KelvoFileDialog::kFoldersId, 2, 0);
        EXPECT_EQ(dialog.Folder().Native(), (Root() / "sub").string());
        EXPECT_EQ(Title(dialog, KelvoFileDialog::kPathId), Utf8ToWide((Root() / "sub").string()));
        EXPECT_EQ(dialog.FileNames(), std::vector<std::string>{"inner.xml"});
        Notify(dialog, KelvoFileDialog::kUpId, 2);
        EXPECT_EQ(dialog.Folder().Native(), Root().string());
        // A name that is a folder moves into it.
        TypeName(dialog, "sub");
        Notify(dialog, KelvoFileDialog::kOkId, 2);
        EXPECT_EQ(dialog.Folder().Native(), (Root() / "sub").string());
        EXPECT_TRUE(dialog.IsLive());
        Notify(dialog, KelvoFileDialog::kCancelId, 2);
    });
    EXPECT_EQ(chosen, std::nullopt);
}

TEST_F(KelvoFileDialogTest, OpenTakesAnExistingFile)
{
    KelvoFileDialog dialog(Request(FileChooserRequest::Kind::Open), FileDialogTexts());
    const auto chosen = RunWith(dialog, [&] {
        // A name that does not exist is not taken.
        TypeName(dialog, "missing.xml");
        Notify(dialog, KelvoFileDialog::kOkId, 2);
        EXPECT_TRUE(dialog.IsLive());
        // A double click on the file that is not UTF-8 takes it as it is.
        Notify(dialog, KelvoFileDialog::kFilesId, 3, 2);
    });
    EXPECT_EQ(chosen, NativeFilePath((Root() / "\xff.xml").string()));
}

TEST_F(KelvoFileDialogTest, SaveAddsTheExtensionAndAsksBeforeReplacing)
{
    {
        KelvoFileDialog dialog(Request(FileChooserRequest::Kind::Save), FileDialogTexts());
        const auto chosen = RunWith(dialog, [&] {
            TypeName(dialog, "Gaming");
            Notify(dialog, KelvoFileDialog::kOkId, 2);
        });
        EXPECT_EQ(chosen, NativeFilePath((Root() / "Gaming.xml").string()));
    }
    {
        FileChooserRequest request = Request(FileChooserRequest::Kind::Save);
        request.suggestedName = L"a.xml";
        KelvoFileDialog dialog(request, FileDialogTexts());
        const auto chosen = RunWith(dialog, [&] {
            EXPECT_EQ(Title(dialog, KelvoFileDialog::kNameId), L"a.xml");
            Notify(dialog, KelvoFileDialog::kOkId, 2);
            EXPECT_TRUE(dialog.IsLive()) << "asked first";
            EXPECT_EQ(Title(dialog, KelvoFileDialog::kStatusId), L"\"a.xml\" already exists. Replace it?");
            EXPECT_EQ(Title(dialog, KelvoFileDialog::kOkId), L"Replace");
            // Choosing another file asks again for that one.
            Notify(dialog, KelvoFileDialog::kFilesId, 2, 1);
            EXPECT_EQ(Title(dialog, KelvoFileDialog::kOkId), L"OK");
            Notify(dialog, KelvoFileDialog::kOkId, 2);
            EXPECT_TRUE(dialog.IsLive());
            Notify(dialog, KelvoFileDialog::kOkId, 2);
        });
        EXPECT_EQ(chosen, NativeFilePath((Root() / "B.XML").string()));
    }
}

TEST_F(KelvoFileDialogTest, AFolderThatWentIsNotEntered)
{
    KelvoFileDialog dialog(Request(FileChooserRequest::Kind::Open), FileDialogTexts());
    RunWith(dialog, [&] {
        fs::remove_all(Root() / "sub");
        Notify(dialog, KelvoFileDialog::kFoldersId, 2, 0);
        EXPECT_EQ(dialog.Folder().Native(), Root().string());
        EXPECT_EQ(dialog.FileNames().size(), 3u);
        Notify(dialog, KelvoFileDialog::kCancelId, 2);
    });
}

} // namespace
