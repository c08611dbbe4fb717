#include "helper_thread.hpp"

#include <chrono>
#include <system_error>

#include "fail.hpp"

namespace {

constexpr int idle = 0;
constexpr int started = 1;
constexpr int stopping = 2;

// How long a waiting side spins before it sleeps.
constexpr std::chrono::microseconds spin_time{200};

// The helpers with a thread, for `fail` to stop; a program has one.
constexpr int max_helpers = 2;
helper_thread* running_helpers[max_helpers];

void stop_running_helpers() {
    for (helper_thread* helper : running_helpers) {
        if (helper != nullptr) stop_helper(*helper);
    }
}

/// Waits while the helper's phase is `value` and returns the phase then.
int wait_while(helper_thread& helper, int value) {
    const auto spin_end = std::chrono::steady_clock::now() + spin_time;
    for (int round = 0;; ++round) {
        const int now = helper.phase.load(std::memory_order_acquire);
        if (now != value) return now;
        if (round % 64 == 63 && std::chrono::steady_clock::now() > spin_end) break;
    }
    std::unique_lock<std::mutex> held(helper.lock);
    helper.changed.wait(held,
                        [&helper, value] { return helper.phase.load(std::memory_order_acquire) != value; });
    return helper.phase.load(std::memory_order_acquire);
}

/// Changed under the lock, so that a side about to sleep cannot miss it.
void set_phase(helper_thread& helper, int value) {
    {
        const std::lock_guard<std::mutex> held(helper.lock);
        helper.phase.store(value, std::memory_order_release);
    }
    helper.changed.notify_all();
}

void run_jobs(helper_thread* helper) {
    while (wait_while(*helper, idle) == started) {
        helper->job(helper->argument);
        set_phase(*helper, idle);
    }
}

/// Starts the helper's thread; false when the system has none to give.
bool start_thread(helper_thread& helper) {
    helper_thread** slot = nullptr;
    for (helper_thread*& running : running_helpers) {
        if (running == nullptr) slot = &running;
    }
    if (slot == nullptr) return false;
    helper.phase.store(idle);
    try {
        helper.thread = std::thread(run_jobs, &helper);
    } catch (const std::system_error&) {
        return false;
    }
    *slot = &helper;
    add_fail_cleanup(stop_running_helpers);
    return true;
}

}  // namespace

void start_job(helper_thread& helper, void (*job)(void*), void* argument) {
    if (!helper.thread.joinable() && !start_thread(helper)) {
        job(argument);
        return;
    }
    helper.job = job;
    helper.argument = argument;
    set_phase(helper, started);
}

void finish_job(helper_thread& helper) {
    if (helper.thread.joinable()) wait_while(helper, started);
}

void stop_helper(helper_thread& helper) {
    if (!helper.thread.joinable()) return;
    finish_job(helper);
    set_phase(helper, stopping);
    helper.thread.join();
    for (helper_thread*& running : running_helpers) {
        if (running == &helper) running = nullptr;
    }
}
