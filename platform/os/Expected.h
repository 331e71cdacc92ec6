// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace glassfalls::platform {

// Why something failed, in one line fit to show the user.
struct Failure {
    std::string message;
};

inline Failure failure(std::string message) { return Failure{std::move(message)}; }

// A value, or the failure that kept it from being made. It follows std::expected's names
// (has_value, value, error, operator*, operator->), so that it can become an alias of it
// once the project's compilers all have C++23.
template <class T>
class [[nodiscard]] Expected {
public:
    template <class U>
    requires(std::is_convertible_v<U&&, T> && !std::is_same_v<std::remove_cvref_t<U>, Failure>) Expected(U&& value)
        : state_(std::in_place_index<0>, std::forward<U>(value)) {}
    Expected(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}
    // One value type for another it converts to (a derived class's pointer to its base's).
    template <class U>
    requires std::is_convertible_v<U&&, T> Expected(Expected<U>&& other)
        : state_(other ? std::variant<T, Failure>(std::in_place_index<0>, std::move(*other))
                       : std::variant<T, Failure>(std::in_place_index<1>, Failure{other.error()})) {}

    bool has_value() const { return state_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    const std::string& error() const { return std::get<1>(state_).message; }

private:
    std::variant<T, Failure> state_;
};

// Done, or the failure that kept it from being done.
template <>
class [[nodiscard]] Expected<void> {
public:
    Expected() = default;
    Expected(Failure failure) : failure_(std::move(failure.message)), failed_(true) {}

    bool has_value() const { return !failed_; }
    explicit operator bool() const { return has_value(); }

    const std::string& error() const { return failure_; }

private:
    std::string failure_;
    bool failed_ = false;
};

}  // namespace glassfalls::platform

// Evaluates `expression`, an Expected; when it failed, returns its failure from the calling
// function, which returns an Expected of any type.
#define GLASSFALLS_TRY(expression)                                                                       \
    do {                                                                                                 \
        if (auto tried_ = (expression); !tried_) return ::glassfalls::platform::Failure{tried_.error()}; \
    } while (false)
