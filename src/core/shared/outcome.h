#pragma once

#include <QString>
#include <optional>
#include <utility>

// Why something did not work, in the plain words the user reads ("No space left on device"),
// or a whole message where the caller has nothing to add to it.
struct Failure {
    QString reason;
};

// What an operation gives back: a value, or the reason there is none. The one way the logic
// reports failure; a caller that ignores a failure on purpose logs it (shared/logging.h).
template <class T> class [[nodiscard]] Outcome
{
  public:
    Outcome(T value) : value_(std::move(value)) {}
    Outcome(Failure failure) : reason_(std::move(failure.reason)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    const T &value() const & { return *value_; }
    T &value() & { return *value_; }
    T &&value() && { return std::move(*value_); }
    const T *operator->() const { return &*value_; }
    // Empty when ok().
    const QString &reason() const { return reason_; }
    Failure failure() const { return Failure{reason_}; }

  private:
    std::optional<T> value_;
    QString reason_;
};

// An operation that gives back nothing but whether it worked.
template <> class [[nodiscard]] Outcome<void>
{
  public:
    Outcome() = default;
    Outcome(Failure failure) : failed_(true), reason_(std::move(failure.reason)) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const QString &reason() const { return reason_; }
    Failure failure() const { return Failure{reason_}; }

  private:
    bool failed_ = false;
    QString reason_;
};

using Status = Outcome<void>;
