// Work cut into parts that are made side by side and used one after another in their order: the script's
// text of a large drawing, the preview's drawing operations.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <type_traits>
#include <vector>

namespace korvel {

// Threads making parts at once: one part is not worth a thread, and two keep two cores busy while this
// thread uses the parts (more would only hold more results waiting).
inline unsigned PartsAhead(std::size_t parts) {
    if (parts <= 1) return 1;
    return std::clamp(std::thread::hardware_concurrency(), 1u, 2u);
}

// Makes the parts with `make(i)` on up to `ahead` threads of their own (none when `ahead` is 1), a few parts
// ahead of their use, and hands each result to `use` in order on this thread. A part no thread has started
// when its turn comes (one thread, or the system refused threads) is made here. Stops making parts once
// `use` returns false. An exception from `make` or `use` comes out of here once the threads have stopped.
template <class Make, class Use>
void MakePartsInOrder(std::size_t count, unsigned ahead, Make &&make, Use &&use) {
    using Result = std::invoke_result_t<Make &, std::size_t>;
    struct Made {
        std::optional<Result> result;
        std::exception_ptr error;
        bool done = false;
    };
    std::vector<Made> made(count);
    std::mutex lock;
    // Each wakes only whom it concerns: this thread when the part it waits for is made, a making thread
    // when a part is used and leaves room.
    std::condition_variable partMade, roomLeft;
    std::size_t nextToMake = 0, nextToUse = 0;
    bool stopping = false;
    const std::size_t window = std::size_t{ahead} + 1;  // parts made and not yet used, at most

    const auto makeOne = [&](std::size_t i) {
        Made m;
        try {
            m.result.emplace(make(i));
        } catch (...) {
            m.error = std::current_exception();
        }
        m.done = true;
        return m;
    };
    const auto work = [&] {
        std::unique_lock held(lock);
        for (;;) {
            roomLeft.wait(held, [&] { return stopping || (nextToMake < count && nextToMake < nextToUse + window); });
            if (stopping) return;
            const std::size_t i = nextToMake++;
            held.unlock();
            Made m = makeOne(i);
            held.lock();
            made[i] = std::move(m);
            if (i == nextToUse) partMade.notify_one();
        }
    };
    std::vector<std::thread> threads;
    const auto stop = [&] {
        {
            const std::lock_guard held(lock);
            stopping = true;
        }
        roomLeft.notify_all();
        for (std::thread &t : threads)
            t.join();
    };
    try {
        for (unsigned t = 0; ahead > 1 && t < ahead; t++)
            threads.emplace_back(work);
    } catch (const std::system_error &) {  // fewer threads: this one makes what they do not
    }

    try {
        for (std::size_t i = 0; i < count; i++) {
            Made m;
            {
                std::unique_lock held(lock);
                if (nextToMake == i) {
                    nextToMake++;
                    held.unlock();
                    m = makeOne(i);
                    held.lock();
                } else {
                    partMade.wait(held, [&] { return made[i].done; });
                    m = std::move(made[i]);
                }
                nextToUse = i + 1;
            }
            roomLeft.notify_one();
            if (m.error) std::rethrow_exception(m.error);
            if (!use(std::move(*m.result))) break;
        }
    } catch (...) {
        stop();
        throw;
    }
    stop();
}

}  // namespace korvel
