#include "PipeSource.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

PipeSource::PipeSource(std::string command) : m_command(std::move(command))
{
}

PipeSource::~PipeSource()
{
    stop();
    reap();
}

void PipeSource::start()
{
    if (m_fd >= 0)
        return;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // The command runs in a process group of its own, so that stopping it ends every
    // process of a pipeline, not only the shell.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // and with the signals the server blocks for itself (SIGINT, SIGTERM) open again.
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    const char* argv[] = {"/bin/sh", "-c", m_command.c_str(), nullptr};
    const int failed = posix_spawn(&m_child, "/bin/sh", &actions, &attributes, const_cast<char**>(argv), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (failed != 0) {
        close(ends[0]);
        m_child = -1;
        return;
    }
    m_fd = ends[0];
    m_stopping = false;
}

void PipeSource::stop()
{
    m_stopping = true;
    if (m_child > 0)
        kill(-m_child, SIGTERM);
}

void PipeSource::reap()
{
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
    if (m_child > 0) {
        // The command had SIGTERM on stop; one that ignores it is killed.
        for (int i = 0; i < 20 && waitpid(m_child, nullptr, WNOHANG) == 0; ++i)
            usleep(50 * 1000);
        if (waitpid(m_child, nullptr, WNOHANG) == 0) {
            kill(-m_child, SIGKILL);
            waitpid(m_child, nullptr, 0);
        }
        kill(-m_child, SIGKILL); // what is left of the group once the shell has gone
    }
    m_child = -1;
}

size_t PipeSource::read(int16_t* samples, size_t count)
{
    if (m_fd < 0)
        return 0;
    auto* bytes = reinterpret_cast<char*>(samples);
    const size_t wanted = count * 2;
    size_t got = 0;
    while (got < wanted && !m_stopping) {
        pollfd pfd{m_fd, POLLIN, 0};
        const int ready = poll(&pfd, 1, 200); // wakes to see stop()
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        const ssize_t n = ::read(m_fd, bytes + got, wanted - got);
        if (n <= 0) {
            if (n < 0 && errno == EINTR)
                continue;
            reap(); // the command ended or failed
            break;
        }
        got += size_t(n);
    }
    // Little-endian on the wire; this machine's order in memory.
    for (size_t i = 0; i < got / 2; ++i) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes) + 2 * i;
        samples[i] = int16_t(uint16_t(b[0]) | uint16_t(b[1]) << 8);
    }
    return got / 2;
}
