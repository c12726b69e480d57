#include "platform/InputPipe.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void send(int fd, const std::string& text)
{
    ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

// The game's side of a FIFO a test writes to.
struct InputPipeTest : testing::Test {
    TempDir dir;
    InputPipe pipe;
    int writer = -1;
    std::vector<ScriptEvent> events;

    void SetUp() override
    {
        const std::string path = dir.folder() + "input";
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        ASSERT_TRUE(pipe.open(path));
        writer = open(path.c_str(), O_WRONLY | O_NONBLOCK);
        ASSERT_GE(writer, 0);
    }
    void TearDown() override
    {
        if (writer >= 0)
            close(writer);
    }
};

TEST_F(InputPipeTest, AFrameWaitsForTheLineOfALaterFrameOrTheClose)
{
    EXPECT_EQ(pipe.poll(events), InputPipe::Wait::Silent);
    send(writer, "1 keydown Space\n2 sync\n3 key L\n");
    EXPECT_EQ(pipe.waitFor(1, 5.0, events), InputPipe::Wait::Ready);
    EXPECT_TRUE(pipe.heardAll(2));
    EXPECT_FALSE(pipe.heardAll(3));
    EXPECT_EQ(events.size(), 4u);
    close(writer);
    writer = -1;
    // The close completes every frame; the pipe then says so without waiting.
    EXPECT_EQ(pipe.waitFor(3, 5.0, events), InputPipe::Wait::Ready);
    EXPECT_TRUE(pipe.heardAll(100));
    EXPECT_FALSE(pipe.isOpen());
    EXPECT_EQ(pipe.poll(events), InputPipe::Wait::Closed);
}

TEST_F(InputPipeTest, ASilentWriterOrABadLineEndsTheWait)
{
    send(writer, "1 sync\n");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(pipe.waitFor(1, 0.2, events), InputPipe::Wait::Silent);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
    send(writer, "2 fly away\n");
    EXPECT_EQ(pipe.waitFor(1, 5.0, events), InputPipe::Wait::BadLine);
    EXPECT_EQ(pipe.error().line, 2);
    EXPECT_FALSE(pipe.isOpen());
}

TEST(InputPipe, AMissingFileIsNotOpened)
{
    InputPipe pipe;
    EXPECT_FALSE(pipe.open("/nonexistent/input"));
    EXPECT_FALSE(pipe.isOpen());
}
}  // namespace
