// The window's remembered choices, its language files and its ".efi" files,
// with every control faked.
#include "app/frm_kavrin.h"
#include "support/fake_link_host.h"
#include "support/fake_main_view.h"
#include "support/fake_serial_device.h"
#include "support/fake_window_extras.h"
#include "support/link_rig.h"
#include "support/memory_file_system.h"
#include "support/memory_settings_store.h"

#include <gtest/gtest.h>

namespace kavrin::test {
namespace {

using Kind = TranslatableControl::Kind;

// A store whose file cannot be written.
class BrokenSettingsStore final : public SettingsStore {
public:
    std::string GetSetting(const std::string&, const std::string&, const std::string&,
                           const std::string& d) override {
        return d;
    }
    void SaveSetting(const std::string&, const std::string&, const std::string&,
                     const std::string&) override {}
    std::vector<std::string> Keys(const std::string&, const std::string&) override { return {}; }
    bool CanRemember() override { return false; }
};

struct Window : FakeMainView {
    explicit Window(SettingsStore* store = nullptr, FileSystem* fs = nullptr) {
        files.files["/prog/English.lan"] = NumberedLanguageFile();
        for (int n = 0; n < 16; ++n) chk[n].text = "C" + std::to_string(n);
        view.caption = &caption;
        view.tagged = {&mnFile, &chkRpm, &lblCompensation};
        view.tabCaptions = {&tabs[0], &tabs[1], &tabs[2], &tabs[3], &tabs[4], &tabs[5]};
        Platform platform{device,           ports,  clock, store ? *store : settings,
                          fs ? *fs : files, "/prog"};
        platform.moreLanguageFolders = {"/share/kavrin/lang", "/home/u/.local/share/kavrin/lang"};
        frm = std::make_unique<frmKAVRIN>(view, platform, chart);
    }
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) frm->tmrcom_Timer();
    }
    void Connect() {
        frm->Form_Load();
        std::vector<std::uint8_t> image(214);
        for (int i = 0; i < 214; ++i)
            image[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 3 + 1);
        device.Feed(Dump(image));
        Tick(2);
        ASSERT_TRUE(frm->linkState().flags.online);
        device.ClearWritten();
    }

    FakeClock clock;
    FakeSerialDevice device{&clock};
    FakePortDirectory ports;
    MemorySettingsStore settings;
    MemoryFileSystem files;
    FakeControl caption;
    FakeTranslatable mnFile{1, Kind::Menu, "File"};
    FakeTranslatable chkRpm{15, Kind::CheckBox, "RPM", 40};
    FakeTranslatable lblCompensation{42, Kind::Plain, "compensation"};
    FakeControl tabs[6];
    std::unique_ptr<frmKAVRIN> frm;
};

// ---- Settings ------------------------------------------------------------------

TEST(Settings, FirstRunWithAnEmptyStore) {
    Window w;
    w.frm->Form_Load();
    const char* scales[16] = {"0.1", "1", "1", "5", "1", "1", "5", "1",
                              "1",   "1", "1", "1", "1", "1", "1", "1"};
    for (int n = 0; n < 16; ++n) {
        EXPECT_FALSE(w.chk[n].checked) << n;
        EXPECT_EQ(w.txtEscala[n].text, scales[n]) << n;
    }
    EXPECT_EQ(w.frm->languageName(), "English");
    EXPECT_EQ(w.mnFile.caption, "T1");
    EXPECT_TRUE(w.raw.checked);
    EXPECT_FALSE(w.formatted.checked);
    EXPECT_EQ(w.device.openName, "fake:1");
    EXPECT_EQ(w.caption.text, "KAVRIN 053");
    EXPECT_TRUE(w.messages.shown.empty());
    // Only the port is stored: the store is never filled in advance.
    EXPECT_EQ(w.settings.saves.size(), 1u);
}

TEST(Settings, ChannelAndFormatChoicesSurviveARestart) {
    MemorySettingsStore store;
    {
        Window w(&store);
        w.frm->Form_Load();
        w.chk[4].checked = true;
        w.frm->chk_Click(4);
        w.txtEscala[4].text = "2,5";
        w.frm->txtEscala_Validate(4);
        EXPECT_EQ(w.txtEscala[4].text, "2.5");
        w.txtEscala[7].text = "abc";
        w.frm->txtEscala_Validate(7);
        w.frm->mnMode_Click(1);
    }
    EXPECT_EQ(store.Get("channels", "activate_4"), "1");
    EXPECT_EQ(store.Get("channels", "name_4"), "C4");
    EXPECT_EQ(store.Get("channels", "scale_4"), "2.5");
    EXPECT_EQ(store.Get("main", "raw_mode"), "1");
    const auto name = std::find(store.saves.begin(), store.saves.end(),
                                MemorySettingsStore::Key{"kavrin", "channels", "name_4"});
    ASSERT_NE(name, store.saves.end());
    EXPECT_EQ(std::get<2>(*(name + 1)), "activate_4") << "the name goes just before the state";

    Window again(&store);
    again.frm->Form_Load();
    EXPECT_TRUE(again.chk[4].checked);
    EXPECT_FALSE(again.chk[3].checked);
    EXPECT_EQ(again.txtEscala[4].text, "2.5");
    EXPECT_EQ(again.txtEscala[7].text, "abc") << "a scale is kept as typed";
    EXPECT_TRUE(again.formatted.checked);
    EXPECT_EQ(again.frm->state().DataFormat, kFormattedData);
}

struct Damaged {
    const char* section;
    const char* key;
    const char* value;
    std::function<void(Window&)> check;
};

TEST(Settings, DamagedValuesAreLimitedToWhatTheWindowCanShow) {
    const Damaged cases[] = {
        {"main", "raw_mode", "7", [](Window& w) { EXPECT_TRUE(w.formatted.checked); }},
        {"main", "raw_mode", "-3", [](Window& w) { EXPECT_TRUE(w.raw.checked); }},
        {"main", "raw_mode", "1e12", [](Window& w) { EXPECT_EQ(w.frm->state().DataFormat, 1); }},
        {"main", "raw_mode", "abc", [](Window& w) { EXPECT_TRUE(w.raw.checked); }},
        {"channels", "activate_2", "5", [](Window& w) { EXPECT_TRUE(w.chk[2].checked); }},
        {"channels", "activate_2", "2", [](Window& w) { EXPECT_TRUE(w.chk[2].checked); }},
        {"channels", "activate_2", "-1", [](Window& w) { EXPECT_FALSE(w.chk[2].checked); }},
        {"channels", "activate_2", "x", [](Window& w) { EXPECT_FALSE(w.chk[2].checked); }},
        {"main", "com", "-4", [](Window& w) { EXPECT_EQ(w.device.openName, "fake:1"); }},
        {"main", "com", "abc", [](Window& w) { EXPECT_EQ(w.device.openName, "fake:1"); }},
        {"main", "com", "70000", [](Window& w) { EXPECT_EQ(w.device.openName, "fake:255"); }},
        {"main", "commport", "-9", [](Window& w) { EXPECT_EQ(w.device.openName, "fake:1"); }},
        {"main", "language", "", [](Window& w) { EXPECT_EQ(w.messages.shown.size(), 1u); }},
    };
    for (const Damaged& c : cases) {
        Window w;
        w.settings.SaveSetting("kavrin", c.section, c.key, c.value);
        w.frm->Form_Load();
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        c.check(w);
    }
}

TEST(Settings, AStoreThatCannotKeepChoicesIsSaidOnce) {
    BrokenSettingsStore broken;
    Window w(&broken);
    w.frm->Form_Load();
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_NE(w.messages.shown[0].find("will not be remembered"), std::string::npos);
    w.frm->chk_Click(1);
    w.frm->mnMode_Click(1);
    EXPECT_EQ(w.messages.shown.size(), 1u);
    EXPECT_TRUE(w.formatted.checked) << "the tool works on";
}

// ---- Language files ---------------------------------------------------------------

TEST(Language, CaptionAndTooltipFromEachTaggedControlsEntry) {
    struct Case {
        const char* entry;
        Kind kind;
        const char* caption;
        const char* tooltip;
        int width;
    };
    const Case cases[] = {
        {"  Open~Opens a file  ", Kind::Plain, "Open", "Opens a file", 50},
        {"~Only a tip", Kind::Plain, "design", "Only a tip", 50},
        {"", Kind::Plain, "design", "", 50},
        {"Format~Display mode", Kind::Menu, "Format", "", 50},
        {"Short", Kind::CheckBox, "Short", "", 60},                              // 30 + 5 x 6
        {"Rather long caption", Kind::CheckBox, "Rather long caption", "", 144}, // 30 + 19 x 6
        {"Go", Kind::GraphicalButton, "Go", "", 50},
        {"Much longer", Kind::GraphicalButton, "Much longer", "", 79}, // 11 x 6 + 13
    };
    std::string file;
    for (const Case& c : cases) file += std::string("x;") + c.entry + "\r\n";
    LanguageTexts texts;
    texts.Load(file);
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const Case& c = cases[i];
        FakeTranslatable control(i + 1, c.kind, "design", 50);
        ApplyLanguage({&control}, texts);
        EXPECT_EQ(control.caption, c.caption) << i;
        EXPECT_EQ(control.tooltip, c.tooltip) << i;
        EXPECT_EQ(control.width, c.width) << i;
    }
}

TEST(Language, MenuListsEachLanguageOnceFromAllFolders) {
    Window w;
    w.files.files["/prog/Espanol.lan"] = "1;Archivo\r\n";
    w.files.files["/share/kavrin/lang/English.lan"] = "1;Shadowed\r\n";
    w.files.files["/share/kavrin/lang/Deutsch.lan"] = "1;Datei\r\n";
    w.files.files["/home/u/.local/share/kavrin/lang/Mine.lan"] = "1;Mine\r\n";
    w.settings.SaveSetting("kavrin", "main", "language", "Deutsch");
    w.frm->Form_Load();
    EXPECT_EQ(w.menu.captions, (std::vector<std::string>{"English", "Espanol", "Deutsch", "Mine"}));
    EXPECT_EQ(w.menu.checked, (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(w.mnFile.caption, "Datei");
    EXPECT_EQ(w.tabs[0].text, "") << "tab captions are set even from empty entries";
}

TEST(Language, ChoosingCyrillicAndBackRetitlesTheWindow) {
    Window w;
    // Code page 1251: "Файл", "Компенсация~Поправка".
    std::string russian = "# cp1251\r\n#CHARSET=204\r\n1;\xD4\xE0\xE9\xEB\r\n";
    for (int i = 2; i <= 41; ++i) russian += std::to_string(i) + ";R" + std::to_string(i) + "\r\n";
    russian +=
        "42;\xCA\xEE\xEC\xEF\xE5\xED\xF1\xE0\xF6\xE8\xFF~\xCF\xEE\xEF\xF0\xE0\xE2\xEA\xE0\r\n";
    w.files.files["/prog/Russian.lan"] = russian;
    w.frm->Form_Load();
    ASSERT_EQ(w.menu.captions, (std::vector<std::string>{"English", "Russian"}));
    EXPECT_EQ(w.menu.checked, (std::vector<bool>{true, false}));

    w.frm->mnlan_Click(1);
    EXPECT_EQ(w.menu.checked, (std::vector<bool>{false, true}));
    EXPECT_EQ(w.settings.Get("main", "language"), "Russian");
    EXPECT_EQ(w.frm->texts().charset, 204);
    EXPECT_EQ(w.mnFile.caption, "Файл");
    EXPECT_EQ(w.lblCompensation.caption, "Компенсация");
    EXPECT_EQ(w.lblCompensation.tooltip, "Поправка");
    EXPECT_EQ(w.tabs[0].text, "R13");
    EXPECT_EQ(w.tabs[5].text, "T65") << "entries past the shorter file stay";
    EXPECT_EQ(w.lblFuelMap.text.substr(0, 3), "T67");
    EXPECT_EQ(w.panels[0].text, "T77 0");

    w.frm->mnlan_Click(0);
    EXPECT_EQ(w.mnFile.caption, "T1");
    EXPECT_EQ(w.tabs[0].text, "T13");
    EXPECT_EQ(w.frm->texts().charset, 0);
    EXPECT_TRUE(w.messages.shown.empty());
}

TEST(Language, AFileDeletedAfterTheMenuWasBuiltKeepsTheOldTexts) {
    Window w;
    w.files.files["/prog/Gone.lan"] = "1;Gone\r\n";
    w.frm->Form_Load();
    w.files.files.erase("/prog/Gone.lan");
    w.frm->mnlan_Click(1);
    EXPECT_EQ(w.messages.shown, (std::vector<std::string>{"file: GONE.LAN not found!"}));
    EXPECT_EQ(w.mnFile.caption, "T1");
    EXPECT_EQ(w.settings.Get("main", "language"), "Gone") << "the choice is stored all the same";
}

// ---- Configuration files ------------------------------------------------------------

TEST(EfiWindow, SavedAndOpenedOnlineSendsEveryByteOnce) {
    Window w;
    w.Connect();
    w.dialogs.choice = "/work/tune.efi";
    w.frm->mnSave_Click();
    EXPECT_EQ(w.dialogs.lastTitle, "T76");
    EXPECT_EQ(w.dialogs.lastProposed, "KAVRIN 053");
    EXPECT_EQ(w.caption.text, "/work/tune.efi");
    ASSERT_TRUE(w.files.files.count("/work/tune.efi"));
    EXPECT_EQ(w.files.files["/work/tune.efi"].substr(0, 24), "format=15x11\r\nsize=214\r\n");

    w.dialogs.choice = "/work/tune.efi";
    w.frm->mnOpen_Click();
    EXPECT_EQ(w.dialogs.lastTitle, "T75");
    const auto& wire = w.device.written;
    ASSERT_EQ(wire.size(), 214u * 4);
    for (std::size_t i = 0; i < 214; ++i) {
        EXPECT_EQ(wire[4 * i], 'M');
        EXPECT_EQ(wire[4 * i + 1], i);
        EXPECT_EQ(wire[4 * i + 2], static_cast<std::uint8_t>(i * 3 + 1));
    }
    EXPECT_TRUE(w.messages.shown.empty());
}

TEST(EfiWindow, ARefusedFileChangesNeitherImageNorEcuNorCaption) {
    const std::string refused[] = {
        "format=15x11\r\nsize=214\r\n;EFI\r\n1,2,300\r\n",
        "format=99x99\r\nsize=214\r\n;EFI\r\n",
        "format=15x11\r\nsize=214\r\n;EFI\r\n1,x\r\n",
        std::string("\x7F"
                    "ELF\x02\x01\x01\0\0",
                    9),
    };
    for (const std::string& content : refused) {
        Window w;
        w.Connect();
        w.files.files["/work/bad.efi"] = content;
        const std::vector<std::uint8_t> before(214, 0);
        const int first = w.frm->config().ConfigImage[5];
        w.dialogs.choice = "/work/bad.efi";
        w.frm->mnOpen_Click();
        EXPECT_TRUE(w.device.written.empty());
        EXPECT_EQ(w.frm->config().ConfigImage[5], first);
        EXPECT_EQ(w.frm->config().ImageLast, 214);
        EXPECT_EQ(w.caption.text, "KAVRIN 053");
        ASSERT_EQ(w.messages.shown.size(), 1u);
        EXPECT_EQ(w.messages.shown[0].rfind("/work/bad.efi\nline ", 0), 0u) << w.messages.shown[0];
    }
}

TEST(EfiWindow, OfflineAFileFillsTheImageAndTables) {
    Window w;
    w.frm->Form_Load();
    w.device.ClearWritten();
    w.files.files["/work/t.efi"] = "format=15x11\r\nsize=214\r\n;EFI\r\n 40 , 41 \r\n";
    w.dialogs.choice = "/work/t.efi";
    w.frm->mnOpen_Click();
    EXPECT_EQ(w.frm->config().ConfigImage[1], 41);
    EXPECT_EQ(w.grd_fuel.TextMatrix(1, 2), "41");
    EXPECT_TRUE(w.device.written.empty());
}

TEST(EfiWindow, AFailedSaveKeepsTheOldFileAndTheCaption) {
    Window w;
    w.frm->Form_Load();
    w.files.files["/ro/old.efi"] = "old";
    w.files.readOnly = true;
    w.dialogs.choice = "/ro/old.efi";
    w.frm->mnSave_Click();
    EXPECT_EQ(w.files.files["/ro/old.efi"], "old");
    EXPECT_EQ(w.caption.text, "KAVRIN 053");
    ASSERT_EQ(w.messages.shown.size(), 1u);
    EXPECT_EQ(w.messages.shown[0].rfind("/ro/old.efi\ncannot be saved", 0), 0u);
}

TEST(EfiWindow, ACancelledDialogDoesNothing) {
    Window w;
    w.Connect();
    w.dialogs.choice.reset();
    w.frm->mnOpen_Click();
    w.frm->mnSave_Click();
    w.dialogs.choice = "";
    w.frm->mnOpen_Click();
    EXPECT_TRUE(w.device.written.empty());
    EXPECT_EQ(w.caption.text, "KAVRIN 053");
    EXPECT_TRUE(w.files.files.size() == 1);
}

} // namespace
} // namespace kavrin::test
