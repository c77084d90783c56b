#include "ui/Application.h"

#include <gtest/gtest.h>

TEST(TitleFromExeName, CutsAtTheFirstDotAndLowersAllButTheFirst)
{
    EXPECT_EQ(ui::TitleFromExeName("C:\\Program Files\\Tavro\\ABC.EXE"), "Abc");
    EXPECT_EQ(ui::TitleFromExeName("Z:\\build\\Project1.exe"), "Project1");
    EXPECT_EQ(ui::TitleFromExeName("c:\\x\\project1.exe"), "project1");
    EXPECT_EQ(ui::TitleFromExeName("C:\\x.y\\REPORT.TOOL.EXE"), "Report");
    EXPECT_EQ(ui::TitleFromExeName("NODOT"), "Nodot");
}

TEST(ErrorBoxText, AddsAFullStopAfterCharactersAboveIt)
{
    const struct {
        const char* message;
        const char* text;
    } cases[] = {
        {"Access violation", "Access violation."},
        {"Error 42", "Error 42."},
        {"Done.", "Done."},
        {"Stop!", "Stop!"},
        {"trailing ", "trailing "},
        {"(see above)", "(see above)"},
        {"slash/", "slash/."},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ui::ErrorBoxText(c.message), c.text) << c.message;
}
