// Long work on a thread of its own.
#include "shell/background_work.h"

#include <exception>

#include "shell/form.h"

namespace korvel {

BackgroundWork::~BackgroundWork() {
    if (thread.joinable()) thread.join();
}

void BackgroundWork::Start(std::function<void()> work, std::function<void()> done, Post post, FormControls &controls) {
    thread = std::thread(
        [this, work = std::move(work), done = std::move(done), post = std::move(post), &controls]() mutable {
            std::exception_ptr failed;
            try {
                work();
            } catch (...) {
                failed = std::current_exception();
            }
            post([this, done = std::move(done), failed, &controls] {
                thread.join();
                if (failed) RunGuarded(controls, [&] { std::rethrow_exception(failed); });
                done();
            });
        });
}

}  // namespace korvel
