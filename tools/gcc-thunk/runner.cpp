#include "shapes.h"
void Runner::Step()
{
    if (stopped)
    {
        return;
    }
    const long playing = frame + 1;
    for (Observer* observer : observers)
    {
        observer->Before(*this, playing);
    }
    Update();
    frame = playing;
    for (Observer* observer : observers)
    {
        if (!observer->After(frame))
        {
            stopped = true;
            return;
        }
    }
}
void Runner::Watch(Observer& observer)
{
    observers.push_back(&observer);
}
