// The main window: its controls, the report run and the handlers.
#pragma once

#include "probes/host/HostFacts.h"
#include "probes/scanner/Twain.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/ReportPane.h"

#include <memory>
#include <string>

// Stands for the application manifest that the executable carries; it does nothing at run time.
struct XPManifest {};

class TForm1 : public ui::Form {
public:
    TForm1();

    std::unique_ptr<scanner::TwainComponent> DTwain1;
    std::unique_ptr<ui::Button> Button1;
    std::unique_ptr<ui::ReportPane> Memo1;
    std::unique_ptr<ui::Label> Label1;
    std::unique_ptr<ui::Label> Label2;
    std::unique_ptr<ui::Button> Button2;
    std::unique_ptr<XPManifest> XPManifest1;
    std::unique_ptr<ui::Edit> Edit1;
    std::unique_ptr<ui::Edit> Edit2;
    std::unique_ptr<ui::Label> Label3;
    std::unique_ptr<ui::Label> Label4;
    std::unique_ptr<ui::Label> Label5;
    std::unique_ptr<ui::CheckBox> CheckBox1;
    std::unique_ptr<ui::Label> Label6;
    std::unique_ptr<ui::Label> Label7;
    std::unique_ptr<ui::Bevel> Bevel1;

    void Button1Click(ui::Control* Sender);
    void aln(const std::string& text);
    void Button2Click(ui::Control* Sender);
    void FileSearch(const std::string& folder, const std::string& mask, bool recurse);
    void CheckBox1Click(ui::Control* Sender);

private:
    ui::Font redFont_;
    ui::Font boldFont_;
};

// The OS version record: what the last query of a report run stored.
extern host::OSVersionRecord OSVersion;
