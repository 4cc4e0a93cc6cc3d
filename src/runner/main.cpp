// maclab-run [FILE]: plays a scenario script (FILE, or standard input) on the
// program without its window and prints what the window would show.
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "runner/script.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    if (argc > 2) {
        std::cerr << "usage: maclab-run [FILE]\n";
        return maclab::ScriptFailed;
    }
    std::string script;
    if (argc == 2) {
        std::ifstream file(argv[1], std::ios::binary);
        std::ostringstream text;
        if (file) text << file.rdbuf();
        if (!file || file.bad()) {
            std::cerr << "maclab-run: cannot read " << argv[1] << '\n';
            return maclab::ScriptFailed;
        }
        script = std::move(text).str();
    } else {
        script.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        if (std::cin.bad()) {
            std::cerr << "maclab-run: cannot read standard input\n";
            return maclab::ScriptFailed;
        }
    }
    const int status = maclab::RunScript(script, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
