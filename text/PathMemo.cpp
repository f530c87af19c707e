#include "text/PathMemo.h"

std::uint64_t PathMemo::hashBytes(const void* data, std::size_t size, std::uint64_t seed) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint64_t hash = seed;
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

QPainterPath PathMemo::get(std::uint64_t hash, const QByteArray& input,
                           const std::function<QPainterPath()>& compute) {
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (it->hash == hash && it->input == input) {
                m_entries.splice(m_entries.begin(), m_entries, it);
                return m_entries.front().result;
            }
        }
    }
    QPainterPath result = compute(); // outside the lock: other threads keep drawing
    std::lock_guard lock(m_mutex);
    m_entries.push_front({hash, input, result});
    if (m_entries.size() > m_capacity)
        m_entries.pop_back();
    return result;
}
