// fuzz-dictionary: prints the libFuzzer dictionary of the script language,
// made from the program itself: the command words, the name of every control
// in the window's table, every list entry, and a few numbers at the limits.
#include <cstdio>
#include <set>
#include <string>

#include "core/form1.h"

int main() {
    maclab::Form1 form;
    form.Form_Load();
    std::set<std::string> words = {
        "pick ", "edit ",          "click ",          "toggle ",       "tick ",
        "rng ",  "trace ticks on", "trace ticks off", "trace draw on", "trace draw off",
        "show",  "summary",        "1e308",           "0.999999",      "2147483648"};
    for (const maclab::ControlEntry& e : form.Controls()) {
        words.emplace(e.Name);
        if (e.Type == maclab::ControlEntry::Kind::ComboBox)
            for (const std::string& entry : e.Combo().List) words.insert(entry);
    }
    for (const auto& s : maclab::SchemeNames) words.emplace(s.Text);
    std::printf("# Words of the maclab-run script language.\n");
    for (const std::string& w : words) {
        std::string escaped;
        for (const char c : w) {
            if (c == '"' || c == '\\') escaped += '\\';
            escaped += c;
        }
        std::printf("\"%s\"\n", escaped.c_str());
    }
    return 0;
}
