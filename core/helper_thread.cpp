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

// The helper whose thread runs, for `fail` to stop. A program has one helper; a second
// one that would start meanwhile runs its jobs inline.
helper_thread* running_helper = nullptr;

void stop_running_helper() {
    if (running_helper != nullptr) stop_helper(*running_helper);
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
    if (running_helper != nullptr) return false;
    helper.phase.store(idle);
    try {
        helper.thread = std::thread(run_jobs, &helper);
    } catch (const std::system_error&) {
        return false;
    }
    running_helper = &helper;
    add_fail_cleanup(stop_running_helper);
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
    running_helper = nullptr;
}
