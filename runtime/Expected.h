#pragma once

#include <utility>
#include <variant>

namespace namoro::runtime {

// A value or the reason there is none: the result of an operation whose failure is expected
// (a corrupt stream, a bad picture). Shaped like C++23's std::expected, which C++20 lacks.
template <class E>
struct Unexpected {
    E error;
};

template <class E>
Unexpected(E) -> Unexpected<E>;

template <class T, class E>
class Expected {
public:
    Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Expected(Unexpected<E> failure) : state_(std::in_place_index<1>, std::move(failure.error)) {}

    bool has_value() const { return state_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const E& error() const { return std::get<1>(state_); }

private:
    std::variant<T, E> state_;
};

} // namespace namoro::runtime
