#include "cli/stop_signals.h"

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace
{

std::atomic<int> Caught{0};
std::atomic<int> WakeFd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read in a signal handler");

constexpr int Stops[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction Before[3];

// Only what is safe in a signal handler: an atomic store and write(2).
extern "C" void OnStop(int signal)
{
    int expected = 0;
    Caught.compare_exchange_strong(expected, signal);
    const int saved = errno;
    if (const int fd = WakeFd.load(); fd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(fd, &byte, 1);
    }
    errno = saved;
}

} // namespace

StopSignals::StopSignals()
{
    Caught.store(0);
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) == 0) {
        WakeFd.store(pipe_[1]);
        notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
        connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
            char bytes[16];
            while (::read(pipe_[0], bytes, sizeof bytes) > 0) {
            }
            cancel_.cancel();
        });
    }
    struct sigaction action {
    };
    action.sa_handler = OnStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        ::sigaction(Stops[i], &action, &Before[i]);
}

StopSignals::~StopSignals()
{
    for (int i = 0; i < 3; ++i)
        ::sigaction(Stops[i], &Before[i], nullptr);
    WakeFd.store(-1);
    notifier_.reset();
    for (const int fd : pipe_)
        if (fd >= 0)
            ::close(fd);
}

int StopSignals::caught() const
{
    return Caught.load();
}

int StoppedExitStatus(int signal)
{
    return signal == SIGINT ? 130 : 143;
}
