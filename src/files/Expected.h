#pragma once

#include <string>
#include <utility>
#include <variant>

namespace tryzone
{

// Why something could not be done, as one line; any Expected takes it: `return Unexpected{"no seed"};`.
struct Unexpected
{
    std::string reason;
};

// What library code returns where it can fail: a value, or the one-line reason it could not make one. Only
// programs print reasons and choose exit statuses.
template <class T> class Expected
{
public:
    Expected(T value) : state(std::in_place_index<0>, std::move(value)) {}
    Expected(Unexpected failure) : state(std::in_place_index<1>, std::move(failure.reason)) {}

    [[nodiscard]] bool HasValue() const { return state.index() == 0; }
    explicit operator bool() const { return HasValue(); }

    [[nodiscard]] T& operator*() & { return std::get<0>(state); }
    [[nodiscard]] const T& operator*() const& { return std::get<0>(state); }
    [[nodiscard]] T&& operator*() && { return std::get<0>(std::move(state)); }
    [[nodiscard]] T* operator->() { return &std::get<0>(state); }
    [[nodiscard]] const T* operator->() const { return &std::get<0>(state); }

    [[nodiscard]] const std::string& Reason() const { return std::get<1>(state); }
    // The failure, to be passed on as another Expected's.
    [[nodiscard]] Unexpected Error() const { return Unexpected{Reason()}; }

private:
    std::variant<T, std::string> state;
};

// Done, or the one-line reason it was not.
template <> class Expected<void>
{
public:
    Expected() = default;
    Expected(Unexpected failure) : failed(true), reason(std::move(failure.reason)) {}

    [[nodiscard]] bool HasValue() const { return !failed; }
    explicit operator bool() const { return HasValue(); }

    [[nodiscard]] const std::string& Reason() const { return reason; }
    [[nodiscard]] Unexpected Error() const { return Unexpected{reason}; }

private:
    bool failed = false;
    std::string reason;
};

} // namespace tryzone
