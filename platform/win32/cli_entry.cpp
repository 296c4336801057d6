// korvel-cli's entry point on Windows, which passes the command line as UTF-16; inside, names are UTF-8, and
// the standard streams carry scripts, images and streams byte for byte (no CR inserted before LF).
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "files/file_path.h"

namespace {

// Messages are UTF-8 (Japanese among them): a console shows them as such while the program runs, and gets
// back its own code page after.
class Utf8Console {
public:
    Utf8Console() : previous(GetConsoleOutputCP()) { SetConsoleOutputCP(CP_UTF8); }
    ~Utf8Console() { SetConsoleOutputCP(previous); }
    Utf8Console(const Utf8Console &) = delete;
    Utf8Console &operator=(const Utf8Console &) = delete;

private:
    UINT previous;
};

}  // namespace

int wmain(int argc, wchar_t **wideArgv) {
    const Utf8Console console;
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(korvel::Utf8Of(std::filesystem::path(wideArgv[i])));
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return korvel::cli::RunCommandLine(argc, argv.data());
}
