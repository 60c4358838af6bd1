#include "frame_workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace pramvix::testing {
namespace {

// Frame n's result is its number, so order and content show at once.
using FrameWorkers = cli::FrameWorkers<int>;

bool NumberOf(int n, int& result) {
  result = n;
  return true;
}

// Later frames made faster than earlier ones, so they are done first.
void Unevenly(int n) { std::this_thread::sleep_for(std::chrono::microseconds(200 * ((7 - n % 8)))); }

struct Consumed {
  std::vector<int> numbers;
  std::string error;
};

Consumed ConsumeAll(FrameWorkers& workers) {
  Consumed consumed;
  int number = -1;
  try {
    while (workers.Next(number)) consumed.numbers.push_back(number);
    EXPECT_FALSE(workers.Next(number)) << "the end stays the end";
  } catch (const std::runtime_error& e) {
    consumed.error = e.what();
  }
  return consumed;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> numbers;
  for (int n = first; n <= last; ++n) numbers.push_back(n);
  return numbers;
}

// A failing frame fails, and so does every frame after it, each with its
// own text: only the first failing frame's may come out, after every frame
// before it, and nothing after it.
TEST(FrameWorkers, HandOverInOrderWhateverOrderTheyAreMadeIn) {
  struct Case {
    int threads, window, first, last, frames;  // frames: Make says none from there on
    int failing;                               // the first frame that fails; -1: none
    std::vector<int> expected;
  };
  const Case cases[] = {
      {1, 2, 0, -1, 20, -1, Range(0, 19)},  {2, 4, 0, -1, 40, -1, Range(0, 39)}, {4, 8, 0, -1, 40, -1, Range(0, 39)},
      {3, 6, 5, -1, 30, -1, Range(5, 29)},  {4, 8, 3, 9, 100, -1, Range(3, 9)},  {2, 4, 0, -1, 0, -1, {}},
      {8, 16, 0, 0, 100, -1, Range(0, 0)}, {2, 1, 0, -1, 12, -1, Range(0, 11)}, {1, 2, 0, -1, 100, 0, {}},
      {2, 4, 0, -1, 100, 0, {}},           {2, 4, 0, -1, 100, 1, Range(0, 0)},  {3, 6, 0, -1, 100, 7, Range(0, 6)},
      {4, 8, 0, -1, 100, 13, Range(0, 12)}, {8, 16, 0, -1, 100, 5, Range(0, 4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.threads << " threads, window " << c.window << ", frames " << c.first
                                      << ":" << c.last << " of " << c.frames << ", failing " << c.failing);
    std::atomic<int> made{0};
    FrameWorkers workers(c.threads, c.window, c.first, c.last, [&](int n, int& result) {
      if (n >= c.frames) return false;
      Unevenly(n);
      if (c.failing >= 0 && n >= c.failing) throw std::runtime_error("frame " + std::to_string(n) + " failed");
      ++made;
      return NumberOf(n, result);
    });
    const Consumed consumed = ConsumeAll(workers);
    EXPECT_EQ(consumed.error, c.failing < 0 ? "" : "frame " + std::to_string(c.failing) + " failed");
    EXPECT_EQ(consumed.numbers, c.expected);
    int number = -1;
    EXPECT_FALSE(workers.Next(number)) << "nothing after the end or the error";
    // Nothing past the range's last frame is asked for.
    if (c.failing < 0) {
      EXPECT_EQ(made.load(), static_cast<int>(c.expected.size()));
    }
  }
}

TEST(FrameWorkers, TakeNoMoreThanTheWindowAheadOfTheConsumer) {
  for (const int window : {1, 3, 6}) {
    SCOPED_TRACE(::testing::Message() << "window " << window);
    std::atomic<int> consumed{0}, farthest{0};
    FrameWorkers workers(4, window, 0, 40, [&](int n, int& result) {
      int ahead = n - consumed.load();
      int seen = farthest.load();
      while (ahead > seen && !farthest.compare_exchange_weak(seen, ahead)) {
      }
      return NumberOf(n, result);
    });
    int number = -1;
    while (workers.Next(number)) {
      std::this_thread::sleep_for(std::chrono::microseconds(300));  // a slow writer
      ++consumed;
    }
    EXPECT_EQ(consumed.load(), 41);
    // Frame n is taken only while fewer than `window` frames wait: n lies
    // below the frames handed over plus the window (the count above may lag
    // by the one frame being handed over).
    EXPECT_LE(farthest.load(), window);
    EXPECT_GE(farthest.load(), window - 1) << "the threads do run ahead";
  }
}

TEST(FrameWorkers, StopWhenTheConsumerLeavesEarly) {
  std::atomic<int> made{0};
  {
    FrameWorkers workers(4, 8, 0, -1, [&](int n, int& result) {
      ++made;
      return NumberOf(n, result);
    });
    int number = -1;
    ASSERT_TRUE(workers.Next(number));
    EXPECT_EQ(number, 0);
  }  // an endless source: leaving must not wait for its end
  EXPECT_LE(made.load(), 1 + 8 + 4);
}

}  // namespace
}  // namespace pramvix::testing
