// Jobs worked on several threads, their results taken in the order the jobs
// were handed out.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Runs `work` on `threads` threads over the items `next` hands out (called
// under a lock, one at a time; nullopt when there are no more) and hands each
// result to `done` on the calling thread, in the order of the items. At most
// `window` results wait for their turn. When `done` returns false no further
// item is started and run_in_order returns false once the started ones end.
template <class Item, class Result>
bool run_in_order(int threads, size_t window, const std::function<std::optional<Item>()> &next,
                  const std::function<Result(Item &)> &work, const std::function<bool(Result &)> &done)
{
    // One thread: the items in turn on the calling thread, with nothing to
    // hand over.
    if (threads <= 1) {
        bool ok = true;
        for (std::optional<Item> item = next(); ok && item; item = next()) {
            Result r = work(*item);
            ok = done(r);
        }
        return ok;
    }
    std::mutex m;
    std::condition_variable changed;
    std::map<size_t, Result> ready;
    size_t handed = 0, taken = 0;
    bool no_more = false, stop = false;
    int running = threads;

    auto worker = [&] {
        for (;;) {
            std::optional<Item> item;
            size_t index = 0;
            {
                std::unique_lock lock(m);
                changed.wait(lock, [&] { return stop || no_more || handed < taken + window; });
                if (!stop && !no_more)
                    item = next();
                if (!item) {
                    no_more = true;
                    --running;
                    changed.notify_all();
                    return;
                }
                index = handed++;
            }
            Result r = work(*item);
            std::lock_guard lock(m);
            ready.emplace(index, std::move(r));
            changed.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (int i = 0; i < threads; ++i)
        pool.emplace_back(worker);

    bool ok = true;
    for (;;) {
        std::unique_lock lock(m);
        changed.wait(lock, [&] { return ready.count(taken) != 0 || (running == 0 && taken == handed); });
        auto it = ready.find(taken);
        if (it == ready.end())
            break;
        Result r = std::move(it->second);
        ready.erase(it);
        lock.unlock();
        const bool go_on = ok && done(r);
        lock.lock();
        ++taken;
        if (!go_on) {
            ok = false;
            stop = true;
        }
        changed.notify_all();
    }
    for (std::thread &t : pool)
        t.join();
    return ok;
}
