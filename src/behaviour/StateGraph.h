#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace tryzone
{

// A small finite-state machine over an owner type. The graph owns its states, a state its actions and links,
// a link its conditions; the owner is only pointed to. Nothing allocates once the graph is wired. A is the actions'
// common base, for owners whose actions offer more than Action does.

template <class T> class Action
{
public:
    virtual ~Action() = default;
    virtual void Start(T* /*owner*/) {}
    virtual void Update(T* /*owner*/) {}
    virtual void End(T* /*owner*/) {}
};

template <class T> class Condition
{
public:
    virtual ~Condition() = default;
    [[nodiscard]] virtual bool Test(T* owner) = 0;

    // The result Test must give for the condition to be met; false negates it.
    bool expected = true;
};

template <class T> class StateLink
{
public:
    explicit StateLink(int target) : targetState(target) {}

    template <class C> C* AddCondition()
    {
        auto condition = std::make_unique<C>();
        C* added = condition.get();
        conditions.push_back(std::move(condition));
        return added;
    }

    std::vector<std::unique_ptr<Condition<T>>> conditions;
    int targetState = -1; // -1: once matched, the current state is kept
    // Telemetry: how often the link was taken to change state. Read after a match, never by the graph.
    std::int64_t firings = 0;
};

template <class T, class A = Action<T>> class StateNode
{
public:
    explicit StateNode(T* nodeOwner) : owner(nodeOwner) {}

    template <class Made> Made* AddAction()
    {
        auto action = std::make_unique<Made>();
        Made* added = action.get();
        actions.push_back(std::move(action));
        return added;
    }

    StateLink<T>* AddLink(int targetState)
    {
        links.push_back(std::make_unique<StateLink<T>>(targetState));
        return links.back().get();
    }

    std::vector<std::unique_ptr<A>> actions;
    std::vector<std::unique_ptr<StateLink<T>>> links; // insertion order is priority
    T* owner;
    // Telemetry: the Updates that found this state current. Read after a match, never by the graph.
    std::int64_t updates = 0;
};

template <class T, class A = Action<T>> class StateGraph
{
public:
    StateGraph(T* graphOwner, int stateCount) : states(static_cast<std::size_t>(stateCount)), owner(graphOwner) {}

    StateNode<T, A>* CreateState(int index)
    {
        auto& slot = states[static_cast<std::size_t>(index)];
        slot = std::make_unique<StateNode<T, A>>(owner);
        return slot.get();
    }

    // Acts at once, and also when index is already current: that state's actions end and start again.
    void SetState(int index)
    {
        if (current >= 0 && static_cast<std::size_t>(current) < states.size())
        {
            for (auto& action : states[static_cast<std::size_t>(current)]->actions)
            {
                action->End(owner);
            }
        }
        current = index;
        for (auto& action : states[static_cast<std::size_t>(index)]->actions)
        {
            action->Start(owner);
        }
    }

    // Actions first, so that the links see what they did this frame; then at most one transition.
    void Update()
    {
        if (current == -1)
        {
            return;
        }
        StateNode<T, A>& node = *states[static_cast<std::size_t>(current)];
        ++node.updates;
        for (auto& action : node.actions)
        {
            action->Update(owner);
        }
        for (auto& link : node.links)
        {
            if (Matches(*link))
            {
                if (link->targetState != -1)
                {
                    ++link->firings;
                    SetState(link->targetState);
                }
                return;
            }
        }
    }

    std::vector<std::unique_ptr<StateNode<T, A>>> states;
    int current = -1;
    T* owner;

private:
    bool Matches(StateLink<T>& link)
    {
        for (auto& condition : link.conditions)
        {
            if (condition->Test(owner) != condition->expected)
            {
                return false;
            }
        }
        return true;
    }
};

} // namespace tryzone
