#include "EventDispatcher.h"

namespace namoro::runtime {

namespace {
constexpr int kErrorStatus = 1;
}

void EventDispatcher::load(const std::function<void()>& handler)
{
    if (phase_ != Phase::Starting)
        return;
    phase_ = Phase::Dispatching;
    run(handler);
}

void EventDispatcher::dispatch(const std::function<void()>& handler)
{
    if (phase_ != Phase::Dispatching || busy_)
        return;
    run(handler);
}

void EventDispatcher::run(const std::function<void()>& handler)
{
    if (!handler)
        return;
    busy_ = true;
    try {
        handler();
        busy_ = false;
        if (afterEvent_ && phase_ == Phase::Dispatching)
            afterEvent_();
    } catch (const RuntimeError& error) {
        fail(error);
    } catch (const std::exception& error) {
        fail(RuntimeError::internalError(error.what()));
    } catch (...) {
        fail(RuntimeError::internalError(""));
    }
}

void EventDispatcher::fail(const RuntimeError& error)
{
    busy_ = false;
    if (phase_ == Phase::Ended)
        return;
    phase_ = Phase::Reporting;
    if (report_)
        report_(error);
    end(kErrorStatus);
}

void EventDispatcher::end(int status)
{
    if (phase_ == Phase::Ended)
        return;
    phase_ = Phase::Ended;
    exitStatus_ = status;
    if (end_)
        end_(status);
}

} // namespace namoro::runtime
