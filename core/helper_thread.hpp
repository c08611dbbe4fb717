#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

/// A second thread that runs one job at a time for the main thread, so that work without
/// system calls (formatting the lines of a report, say) goes on while the main thread writes.
///
/// A job must not call `fail`, print, or touch anything the main thread uses before the job
/// has finished. `fail` stops the helper (waiting for the job in hand) before the process
/// ends, so a failure of the main thread never leaves a job running. When no thread can be
/// started, jobs run on the main thread as they are started.
///
/// Jobs are expected to come in quick succession: each side spins for a moment before it
/// sleeps while waiting for the other, since waking a sleeping thread takes longer than a
/// short job.
struct helper_thread {
    std::thread thread;
    void (*job)(void*) = nullptr;  // set by the main thread while the helper is idle
    void* argument = nullptr;
    std::atomic<int> phase{0};  // idle, job started, stopping; changed under `lock`
    std::mutex lock;
    std::condition_variable changed;  // for a side that sleeps while waiting
};

/// Starts `job(argument)` on the helper, starting its thread first when it has none. The
/// job started before must have finished (`finish_job`).
void start_job(helper_thread& helper, void (*job)(void*), void* argument);

/// Waits until the job started last has finished.
void finish_job(helper_thread& helper);

/// Waits for the job in hand, if any, and ends the thread. Starting a job later starts a new one.
void stop_helper(helper_thread& helper);
