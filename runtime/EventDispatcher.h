#pragma once

#include "RuntimeError.h"

#include <functional>
#include <optional>

namespace namoro::runtime {

// Runs the program's handlers one at a time on the GUI thread. Nothing runs before the form's
// load event; a runtime error is reported and ends the program, and so is any other exception,
// as an internal error; after the end nothing runs.
class EventDispatcher {
public:
    enum class Phase { Starting, Dispatching, Reporting, Ended };

    using ErrorReport = std::function<void(const RuntimeError&)>;
    using EndRequest = std::function<void(int status)>;

    // `report` shows the error (it may block); `end` leaves the event loop with a status.
    void setErrorReport(ErrorReport report) { report_ = std::move(report); }
    void setEndRequest(EndRequest end) { end_ = std::move(end); }
    // Runs after every handler that returned normally, outside the busy state.
    void setAfterEvent(std::function<void()> afterEvent) { afterEvent_ = std::move(afterEvent); }

    // Raises the load event: the first handler, and the gate that opens every later event.
    void load(const std::function<void()>& handler);
    // Dispatches one event. Dropped before load, while an error report shows, after the end,
    // and when it would interrupt a running handler.
    void dispatch(const std::function<void()>& handler);
    // The program ends with `status`; no handler runs after this.
    void end(int status = 0);

    Phase phase() const { return phase_; }
    bool ended() const { return phase_ == Phase::Ended; }
    std::optional<int> exitStatus() const { return exitStatus_; }

private:
    void run(const std::function<void()>& handler);
    void fail(const RuntimeError& error);

    ErrorReport report_;
    EndRequest end_;
    std::function<void()> afterEvent_;
    Phase phase_ = Phase::Starting;
    bool busy_ = false;
    std::optional<int> exitStatus_;
};

} // namespace namoro::runtime
