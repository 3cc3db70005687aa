// The queue of a delivery's numbers, without modems: which number comes
// next, that none is lost, and that a waiting modem wakes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/NumberQueue.h"

namespace {

constexpr uint32_t kLongMs = 3600 * 1000;
constexpr uint32_t kShortMs = 20;

class Queue {
 public:
  // keys: one per number, "" for none.
  explicit Queue(std::vector<std::string> keys, size_t first = 0) : m_keys(std::move(keys)) {
    m_position = static_cast<int32_t>(first);
    m_queue.Begin(first, m_keys.size(), [this](size_t i) { return m_keys[i]; });
  }
  // Runs steps separated by blanks: "t2" takes and expects number 2, "f2"
  // finishes it, "g2" gives it back, "d2" drops its ticket, "e2" defers it
  // a moment, "l2" for an hour, "p2" expects the position 2, "done" expects
  // every number finished. Fails at the first step that goes otherwise.
  void Run(const std::string& script) {
    std::istringstream steps(script);
    std::string step;
    while (steps >> step) {
      SCOPED_TRACE(step);
      if (step == "done") {
        EXPECT_TRUE(m_queue.Finished());
        EXPECT_EQ(static_cast<size_t>(m_position.load()), m_keys.size());
        continue;
      }
      const size_t index = std::stoul(step.substr(1));
      switch (step[0]) {
        case 't': {
          CNumberTicket ticket;
          ASSERT_TRUE(m_queue.Take(ticket));
          ASSERT_EQ(ticket.Index(), index);
          m_tickets[index] = std::move(ticket);
          break;
        }
        case 'f': m_tickets.at(index).Finish(); break;
        case 'g': m_tickets.at(index).GiveBack(); break;
        case 'd': m_tickets.erase(index); break;
        case 'e': m_tickets.at(index).Defer(kShortMs); break;
        case 'l': m_tickets.at(index).Defer(kLongMs); break;
        case 'p': EXPECT_EQ(static_cast<size_t>(m_position.load()), index); break;
        default: FAIL() << "no such step";
      }
    }
  }

  CNumberQueue& Get() { return m_queue; }
  CNumberTicket& Ticket(size_t index) { return m_tickets.at(index); }

 private:
  std::vector<std::string> m_keys;
  std::atomic<int32_t> m_position{0};
  CNumberQueue m_queue{m_position};
  std::map<size_t, CNumberTicket> m_tickets;
};

struct OrderCase {
  const char* what;
  std::vector<std::string> keys;
  const char* script;
  size_t first = 0;
};

const OrderCase kOrderCases[] = {
    {"list order, the position counting", {"", "", ""}, "t0 f0 p1 t1 t2 f2 p2 f1 p3 done"},
    {"a number given back comes next", {"", "", "", ""}, "t0 t1 t2 g1 t1 f1 f0 f2 t3 f3 done"},
    {"numbers given back come in list order", {"", "", "", ""},
     "t0 t1 t2 g2 g0 t0 t2 t3 f0 f2 f3 g1 t1 f1 done"},
    {"a ticket dropped unfinished goes back", {"", ""}, "t0 d0 t0 f0 t1 f1 done"},
    {"twins wait for the number in hand", {"a", "a", "b", "a"},
     "t0 t2 f0 t1 f2 f1 t3 f3 done"},
    {"twins of a number given back keep waiting", {"a", "a", "b"}, "t0 g0 t0 t2 f0 t1 f1 f2 done"},
    {"without keys twins go out each", {"", ""}, "t0 t1 f1 f0 done"},
    {"a number held elsewhere comes back when due", {"", ""}, "t0 e0 t1 f1 t0 f0 done"},
    {"its twins wait for it meanwhile", {"a", "a"}, "t0 e0 t0 f0 t1 f1 done"},
    {"from the start position on", {"", "", ""}, "p1 t1 f1 t2 f2 done", 1},
};

TEST(NumberQueueTest, NumbersComeOutInOrderAndNoneIsLost) {
  for (const OrderCase& row : kOrderCases) {
    SCOPED_TRACE(row.what);
    Queue queue(row.keys, row.first);
    queue.Run(row.script);
  }
}

struct WakeCase {
  const char* what;
  size_t count;       // numbers in the queue
  const char* setup;  // a script as above; then a modem waits in Take
  void (*wake)(Queue& queue);
  int taken;  // the index the waiting modem gets; -1: Take ends with false
};

const WakeCase kWakeCases[] = {
    {"a stop, while every number is in hand", 1, "t0", [](Queue& q) { q.Get().Stop(); }, -1},
    {"a stop, while the number left is held elsewhere for long", 1, "t0 l0",
     [](Queue& q) { q.Get().Stop(); }, -1},
    {"the last number finished", 1, "t0", [](Queue& q) { q.Ticket(0).Finish(); }, -1},
    {"a number given back", 2, "t0 t1", [](Queue& q) { q.Ticket(1).GiveBack(); }, 1},
    {"a number held elsewhere for a moment, another for long", 2, "t0 t1 l0",
     [](Queue& q) { q.Ticket(1).Defer(1); }, 1},
};

TEST(NumberQueueTest, AWaitingModemWakes) {
  for (const WakeCase& row : kWakeCases) {
    SCOPED_TRACE(row.what);
    Queue queue(std::vector<std::string>(row.count));
    queue.Run(row.setup);
    auto modem = std::async(std::launch::async, [&queue] {
      CNumberTicket ticket;
      const int taken = queue.Get().Take(ticket) ? static_cast<int>(ticket.Index()) : -1;
      ticket.Finish();
      return taken;
    });
    while (queue.Get().Waiting() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    row.wake(queue);
    ASSERT_EQ(modem.wait_for(std::chrono::seconds(10)), std::future_status::ready)
        << "the modem sleeps on";
    EXPECT_EQ(modem.get(), row.taken);
    queue.Get().Stop();
  }
}

}  // namespace
