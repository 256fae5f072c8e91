#include "audio/evqueue.h"

// Each cell carries a sequence number: equal to its index when free for the
// producer of that round, index + 1 when it holds an event for the consumer.
wv_evqueue::wv_evqueue() {
    for (std::size_t i = 0; i < cap; ++i) cells[i].seq.store(i, std::memory_order_relaxed);
}

bool wv_evq_push(wv_evqueue& q, const wv_event& ev) {
    std::size_t pos = q.head.load(std::memory_order_relaxed);
    for (;;) {
        wv_evqueue::cell& c = q.cells[pos & (wv_evqueue::cap - 1)];
        const std::size_t seq = c.seq.load(std::memory_order_acquire);
        const auto diff = static_cast<std::ptrdiff_t>(seq) - static_cast<std::ptrdiff_t>(pos);
        if (diff == 0) {
            if (q.head.compare_exchange_weak(pos, pos + 1, std::memory_order_relaxed)) {
                c.ev = ev;
                c.seq.store(pos + 1, std::memory_order_release);
                return true;
            }
        } else if (diff < 0) {
            q.dropped.fetch_add(1, std::memory_order_relaxed);
            return false;
        } else {
            pos = q.head.load(std::memory_order_relaxed);
        }
    }
}

bool wv_evq_pop(wv_evqueue& q, wv_event& ev) {
    wv_evqueue::cell& c = q.cells[q.tail & (wv_evqueue::cap - 1)];
    const std::size_t seq = c.seq.load(std::memory_order_acquire);
    if (seq != q.tail + 1) return false;
    ev = c.ev;
    c.seq.store(q.tail + wv_evqueue::cap, std::memory_order_release);
    ++q.tail;
    return true;
}
