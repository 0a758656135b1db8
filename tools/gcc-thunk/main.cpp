#include "shapes.h"
#include <cstdio>
#include <memory>
volatile int updates = 0;
void Update()
{
    updates = updates + 1;
}
int main(int argc, char**)
{
    auto runner = std::make_unique<Runner>();
    auto recorder = std::make_unique<Recorder>();
    runner->Watch(*recorder);
    for (int i = 0; i < 2 + argc; ++i)
    {
        runner->Step();
    }
    std::printf("frame %ld (expected %d)\n", recorder->frame, 2 + argc);
    return recorder->frame == 2 + argc ? 0 : 1;
}
