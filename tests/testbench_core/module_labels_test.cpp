// Every form in which the pages label a module id, for every kind of id.
#include <gtest/gtest.h>

#include <functional>

#include "module_labels.h"
#include "qt_gtest_print.h"

namespace {

struct Form {
    const char* name;
    std::function<QString(std::uint8_t)> label;
};

const Form kForms[] = {
    {"name", FormatModuleName},   {"move", labels::Move},
    {"expert", labels::Expert},   {"print", labels::Print},
    {"barcode", labels::Barcode}, {"magnetic", labels::Magnetic},
    {"station", labels::Station}, {"macro", labels::MacroShortName},
};

// One row per id; one column per form, in the order of kForms.
struct Row {
    std::uint8_t id;
    const char* labels[8];
};

const Row kRows[] = {
    {0x10, {"Input-Hopper [10]", "I  [10]", "I  [10]", "", "", "", "", "I0"}},
    {0x21, {"Multi-Input-Hopper [21]", "MI [21]", "MI [21]", "", "", "", "", "M1"}},
    {0x30, {"Input-Hopper [30]", "E  [30]", "E  [30]", "", "", "", "", "30"}},
    {0x40,
     {"Printer [40]", "P  [40]", "P  [40]", "P [40]", "", "Int-Enc [40]", "Printer [40]", "P0"}},
    {0x41,
     {"Printer [41]", "P  [41]", "P  [41]", "P [41]", "", "Int-Enc [41]", "Printer [41]", "P1"}},
    {0x50, {"Laminator [50]", "L  [50]", "L  [50]", "L [50]", "", "", "", "L0"}},
    {0x61, {"Flipper [61]", "F  [61]", "F  [61]", "", "F [61]", "", "Flipper [61]", "F1"}},
    {0x62, {"Laser [62]", "F  [62]", "F  [62]", "", "F [62]", "Laser [62]", "Flipper [62]", "F2"}},
    {0x70, {"Output-Hopper [70]", "O  [70]", "O  [70]", "", "", "", "", "O0"}},
    {0x81, {"Multi-Output-Hopper [81]", "MO [81]", "MO [81]", "", "", "", "", "81"}},
    // Unassigned types: the Move page's range ends at 0x8F; the Expert page labels them all.
    {0x0F, {"", "", "I  [0F]", "", "", "", "", "0F"}},
    {0x90, {"", "", "I  [90]", "", "", "", "", "90"}},
    {0xA5, {"", "", "I  [A5]", "", "", "", "", "A5"}},
    {0xFF, {"", "", "I  [FF]", "", "", "", "", "FF"}},
};

TEST(ModuleLabels, EveryFormForEveryKindOfId) {
    for (const Row& row : kRows) {
        for (size_t form = 0; form < std::size(kForms); ++form) {
            EXPECT_EQ(kForms[form].label(row.id), QString::fromLatin1(row.labels[form]))
                << kForms[form].name << " of " << std::hex << int{row.id};
        }
    }
    EXPECT_EQ(labels::MoveOut(), QStringLiteral("out [FF]"));
}

}  // namespace
