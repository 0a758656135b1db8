#pragma once

#include <cstdint>

namespace tryzone
{

class MatchRunner;
class RugbyScene;

// Told of every frame a MatchRunner plays, in the order the observers were given to it: the recorder, the rules,
// the heat map and the brains all learn the frame number from the runner, the one place that counts frames. Frames
// count from 1 after each Start and go on from a restored snapshot's. Calls are virtual and allocate nothing: they
// happen every frame of every match. An observer must not watch or unwatch observers from inside a call.
class FrameObserver
{
public:
    virtual ~FrameObserver() = default;

    // Before the step that plays the frame: the last moment to give orders for it.
    virtual void BeforeFrame(MatchRunner& /*runner*/, std::int64_t /*frame*/) {}
    // After that step. False ends the match at this frame: the observers after this one do not hear of it, and the
    // runner plays no further frame until it starts or restores a match.
    virtual bool AfterFrame(const RugbyScene& /*scene*/, std::int64_t /*frame*/) { return true; }
    // Input is about to be fed between two frames; what it causes belongs to the given frame, the next one played.
    virtual void BeforeInput(std::int64_t /*frame*/) {}
};

} // namespace tryzone
