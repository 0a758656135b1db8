#include "window/GameCommandLine.h"
#include "window/Playback.h"

#include <iostream>

using namespace tryzone;

int main(int argc, char** argv)
{
    // The command line is read before anything else is touched: a bad one opens no window and writes no file.
    const auto parsed = ParseGameCommandLine(argc, argv);
    if (const auto* error = std::get_if<CommandLineError>(&parsed))
    {
        std::cerr << "tryzone: " << error->reason << " (see --help)" << std::endl;
        return 2;
    }
    if (const auto* help = std::get_if<HelpRequest>(&parsed))
    {
        std::cout << help->text;
        return 0;
    }
    return PlayGame(std::get<GameOptions>(parsed));
}
