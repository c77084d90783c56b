#include "probes/host/Processes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(ProcessEntryName, TakesTheFieldUpToItsNul)
{
    PROCESSENTRY32 entry = {};
    const std::string longest = std::string(255, 'n') + ".exe";  // 259 characters, the NUL in the last byte
    memcpy(entry.szExeFile, longest.c_str(), longest.size() + 1);
    EXPECT_EQ(host::ProcessEntryName(entry), longest);

    memcpy(entry.szExeFile, "a\xe9" "b.exe\0junk", 11);
    EXPECT_EQ(host::ProcessEntryName(entry), "a\xe9" "b.exe");
}

TEST(ListProcessNames, NamesEveryProcessOfTheSnapshotInOrder)
{
    std::vector<std::string> listed;
    host::ListProcessNames([&](const std::string& name) { listed.push_back(name); });

    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string selfName = std::string(self).substr(std::string(self).find_last_of('\\') + 1);
    EXPECT_NE(std::find(listed.begin(), listed.end(), selfName), listed.end());
    EXPECT_GE(listed.size(), 3u);  // Wine's own services run beside us
    for (const auto& name : listed) EXPECT_FALSE(name.empty());
}
