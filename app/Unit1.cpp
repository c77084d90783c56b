#include "app/Unit1.h"

#include "app/ReportText.h"
#include "probes/host/Processes.h"
#include "probes/scanner/FileFind.h"
#include "probes/settings/Settings.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

#include <stdexcept>

host::OSVersionRecord OSVersion;

namespace {
const ui::FormSettings kForm1 = {"Tavro Reporting Tool", 285, 142, 513, 631, "MS Sans Serif", -11, 13};
const char kRunning[] = "Please Wait, running....";
const char kCopied[] = "The report has been copied to the clipboard. You can now";
const char kPaste[] = "Paste the information into an email (Right-click then select Paste)";
}  // namespace

TForm1::TForm1()
    : ui::Form(kForm1)
{
    auto& form = static_cast<ui::Form&>(*this);
    redFont_ = ui::Font(FontFace(), Scale(-11), false);
    boldFont_ = ui::Font(FontFace(), Scale(-11), true);

    DTwain1 = std::make_unique<scanner::TwainComponent>();
    DTwain1->Info.MajorVersion = 4;
    DTwain1->Info.MinorVersion = 1;
    DTwain1->Info.Language = scanner::tlUserLocale;
    DTwain1->Info.CountryCode = scanner::TWCY_USA;
    DTwain1->Info.VersionInfo = "Tavro Scan";
    DTwain1->Info.Groups = scanner::tgControl | scanner::tgImage;
    DTwain1->Info.Manufacturer = "Tavro";
    DTwain1->Info.ProductFamily = "Tavro Scan";
    DTwain1->Info.ProductName = "Tavro Scan";
    DTwain1->TransferMode = scanner::ttmNative;
    XPManifest1 = std::make_unique<XPManifest>();

    // Created in this order; the tab order follows it.
    Label1 = std::make_unique<ui::Label>(form, kCopied, 192, 164, &redFont_, RGB(255, 0, 0));
    Label2 = std::make_unique<ui::Label>(form, kPaste, 192, 180, &redFont_, RGB(255, 0, 0));
    Label3 = std::make_unique<ui::Label>(form, "Please enter the make and model of scanner being used:", 12, 8,
                                         &boldFont_);
    Label4 = std::make_unique<ui::Label>(form, "Make:", 16, 36);
    Label5 = std::make_unique<ui::Label>(form, "Model:", 16, 64);
    Label6 = std::make_unique<ui::Label>(
        form, "If an error occurs when running the report then remove the tick below and try again.", 16, 92);
    Label7 = std::make_unique<ui::Label>(form, "(Please let us know the exact error message you saw)", 196, 117);
    Bevel1 = std::make_unique<ui::Bevel>(form, ui::Bounds{12, 132, 481, 17});
    Button1 = std::make_unique<ui::Button>(form, "Run Report", ui::Bounds{12, 164, 145, 29});
    Memo1 = std::make_unique<ui::ReportPane>(form, ui::Bounds{12, 204, 489, 417});
    Button2 = std::make_unique<ui::Button>(form, "Button2", ui::Bounds{560, 28, 75, 25}, false);
    Edit1 = std::make_unique<ui::Edit>(form, ui::Bounds{56, 32, 201, 21});
    Edit2 = std::make_unique<ui::Edit>(form, ui::Bounds{56, 60, 201, 21});
    CheckBox1 = std::make_unique<ui::CheckBox>(form, "Load and query Twain drivers", ui::Bounds{16, 116, 177, 17}, true);

    for (ui::Label* label : {Label3.get(), Label4.get(), Label5.get(), Label6.get(), Label7.get()})
        label->SetVisible(true);

    Button1->OnClick = [this] { Button1Click(Button1.get()); };
    Button2->OnClick = [this] { Button2Click(Button2.get()); };
    CheckBox1->OnClick = [this] { CheckBox1Click(CheckBox1.get()); };
}

void TForm1::aln(const std::string& text)
{
#ifdef TAVRO_FAULT_INJECTION
    // Test build only: a typed "<<raise>>" makes this append fail, as any unguarded step may.
    if (text == "<<raise>>") throw std::runtime_error("Injected fault");
#endif
    Memo1->BeginUpdate();
    Memo1->AddLine(text);
    Memo1->EndUpdate();
}

void TForm1::Button1Click(ui::Control*)
{
    const auto writer = [this](const std::string& line) { aln(line); };

    Label1->SetVisible(false);
    Label2->SetVisible(false);
    Memo1->Clear();
    ui::TheApplication.ProcessMessages();

    if (Edit1->Text().empty()) {
        ui::ShowMessage("Please enter the Make of your scanner");
        return;
    }
    if (Edit2->Text().empty()) {
        ui::ShowMessage("Please enter the Model of your scanner");
        return;
    }

    Label1->SetText(kRunning);
    Label1->SetVisible(true);
    Button1->SetEnabled(false);
    ui::TheApplication.ProcessMessages();

    // Header
    aln(report::kTitleLine);
    aln(report::LocalDateTimeText());
    aln(host::UptimeText());
    aln(" ");

    // Host facts block
    try {
        host::ReadOSVersion(OSVersion);
    } catch (...) {
        aln("Error getting OS");
    }
    aln(host::FormatOSLine(OSVersion));
    try {
        aln(host::IsWow64() ? "64 Bit" : "32 Bit");
        aln(host::SystemDirectoryText());
        aln(host::EnvironmentText("TEMP"));
        aln(host::TempPathText());
    } catch (...) {
    }

    // Make and model block
    aln(report::kSeparator);
    aln(Edit1->Text());
    aln(Edit2->Text());
    aln(report::kSeparator);

    if (CheckBox1->Checked()) scanner::WriteTwainSection(*DTwain1, writer);
    aln(report::kSeparator);

    // Data source section
    try {
        aln("Installed Data Sources:");
        FileSearch("c:\\windows\\twain_32", "*.ds", true);
        aln(report::kSeparator);
        FileSearch("c:\\windows", "*Twain*.*", true);
    } catch (...) {
    }
    aln(report::kSeparator);

    settings::WriteVellumoSection(writer);
    aln(report::kSeparator);
    settings::WriteQuorvexSection(writer);
    aln(report::kSeparator);

    // Process section
    try {
        Memo1->BeginUpdate();
        Button2->Click();
    } catch (...) {
    }
    Memo1->EndUpdate();

    Memo1->SelectAll();
    Memo1->CopyToClipboard();

    Label1->SetText(kCopied);
    Label1->SetVisible(true);
    Label2->SetVisible(true);
    Button1->SetEnabled(true);
}

void TForm1::Button2Click(ui::Control*)
{
    host::ListProcessNames([this](const std::string& name) { Memo1->AddLine(name); });
}

void TForm1::FileSearch(const std::string& folder, const std::string& mask, bool recurse)
{
    const std::string base = !folder.empty() && folder.back() == '\\' ? folder : folder + '\\';

    // Files, hidden, system and read-only ones included; no directories.
    for (scanner::FileFind find(base + mask, scanner::faReadOnly | scanner::faHidden | scanner::faSysFile |
                                                 scanner::faVolumeID | scanner::faArchive);
         find; find.Next())
        Memo1->AddLine(base + find.Entry().name);
    if (!recurse) return;

    // Folders that are neither hidden nor system; the window takes its input between two entries.
    for (scanner::FileFind find(base + "*.*", scanner::faDirectory); find; find.Next()) {
        ui::TheApplication.ProcessMessages();
        if (scanner::IsSubFolder(find.Entry())) FileSearch(base + find.Entry().name, mask, true);
    }
}

void TForm1::CheckBox1Click(ui::Control*)
{
    Button1->SetEnabled(true);
}
