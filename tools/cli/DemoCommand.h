#pragma once

#include <ostream>

// DemoCommand: builds a small project in memory (a two-picture symbol on a Liner motion, a
// text on a guide line, a trail object on a hidden layer) and prints every object's state
// at every frame, as the renderer would compute it.
class DemoCommand {
public:
    static int run(std::ostream& out);
};
