#pragma once
#include <vector>

struct Runner;

struct First
{
    virtual ~First() = default;
    virtual void Event(int) {}
};

struct Observer
{
    virtual ~Observer() = default;
    virtual void Before(Runner& /*runner*/, long /*frame*/) {}
    virtual bool After(long /*frame*/) { return true; }
};

// Observer second: calls through an Observer* go through a this-adjusting thunk.
struct Recorder : First, Observer
{
    long frame = 0;
    void Event(int) override;
    void Before(Runner& /*runner*/, long playing) override { frame = playing; }
    bool After(long played) override;
};

struct Runner
{
    std::vector<Observer*> observers;
    long frame = 0;
    bool stopped = false;
    void Step();
    void Watch(Observer& observer);
};

void Update();
