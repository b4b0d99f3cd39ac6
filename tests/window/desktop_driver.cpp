// Drives the real desktop program for the browser tests, which compare the
// page's picture with the desktop's: starts Xvfb and walker, pauses the walk,
// says "ready", then takes one command a line from standard input and
// answers each with "ok" (or "error ..."):
//   key C        presses character key C as a keyboard would (Shift for capitals)
//   arrow NAME   presses the arrow key Left, Right, Up or Down
//   shot PATH    waits for a still picture and saves the window as PPM
#include <X11/keysym.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <string>

#include "x_harness.h"

using namespace harness;

int main()
{
    VirtualDisplay display;
    if (!display.start()) {
        std::cout << "error Xvfb did not start" << std::endl;
        return 1;
    }
    Walker walker(display);
    if (!walker.start(walkerPath())) {
        std::cout << "error walker showed no window" << std::endl;
        return 1;
    }
    if (walker.pause().pixels.empty()) {
        std::cout << "error walker did not pause" << std::endl;
        return 1;
    }
    std::cout << "ready" << std::endl;

    const std::map<std::string, unsigned long> arrows = {
        {"Left", XK_Left}, {"Right", XK_Right}, {"Up", XK_Up}, {"Down", XK_Down}};
    std::string command;
    std::string argument;
    while (std::cin >> command >> argument) {
        if (command == "key" && argument.size() == 1) {
            walker.key(argument[0]);
        } else if (command == "arrow" && arrows.count(argument) != 0) {
            walker.keysym(arrows.at(argument));
        } else if (command == "shot") {
            const Image still = walker.waitForStill();
            if (still.pixels.empty() || !still.savePpm(argument)) {
                std::cout << "error no still picture" << std::endl;
                continue;
            }
        } else {
            std::cout << "error unknown command " << command << std::endl;
            continue;
        }
        std::cout << "ok" << std::endl;
    }
    return 0;
}
