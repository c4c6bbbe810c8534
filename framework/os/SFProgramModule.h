#pragma once
// The program's own loadable modules (libtessaro_player.so, libtessaro_export.so): shared
// libraries built with the program that carry the heavy libraries of one feature, so that the
// program maps those only when the feature is first used.
//
// A module exports one C function, its entry, which returns a static table whose first two
// fields are `uint32_t version` and `uint32_t size` (the module's sizeof of the table). A table
// is accepted when its version equals the caller's and its size is at least the caller's.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace SF_SOFT_BASE {

// Looks for `file` beside the executable, then in the application directory, then in
// ../lib/tessaro relative to the executable (the installed layout), loads the first that exists
// (RTLD_NOW | RTLD_LOCAL) and returns its symbol `entry`, with the library's handle in *library
// and the file's path in *where. nullptr when none exists or it cannot be loaded; *where then
// says why (the directories tried, or the loader's message).
void* SFOpenProgramModule(const char* file, const char* entry, void** library, std::string* where);
// Releases a handle from SFOpenProgramModule (a table of the wrong version).
void SFCloseProgramModule(void* library);

// The table of one module, loaded at the first Get that succeeds and kept for the life of the
// process: the library is never unmapped (unmapping a feature's libraries at exit gains nothing,
// and their allocations kept for the life of the process would look leaked). Any thread;
// concurrent first calls load once, later calls cost an atomic read. A failed load is tried
// again at the next call.
template <class Table>
class SFProgramModule {
public:
    SFProgramModule(const char* file, const char* entry, uint32_t version)
        : m_file(file), m_entry(entry), m_version(version) {}

    // The table, or nullptr with the reason in *why. `onLoad(table, path)` runs once, on the
    // new table and the file it came from, before any caller sees the table.
    template <class OnLoad>
    const Table* Get(std::string* why, OnLoad onLoad) {
        if (const Table* table = m_table.load(std::memory_order_acquire)) {
            return table;
        }
        std::lock_guard lock(m_mutex);
        const Table* table = m_table.load(std::memory_order_relaxed);
        if (table == nullptr) {
            std::string where;
            table = Load(&where);
            if (table != nullptr) {
                onLoad(*table, where);
            } else {
                *why = where;
            }
            m_table.store(table, std::memory_order_release);
        }
        return table;
    }

private:
    using Entry = const Table* (*)();

    // The table, with the module's path in *where; or nullptr with the reason there.
    const Table* Load(std::string* where) {
        void* library = nullptr;
        const auto entry =
            reinterpret_cast<Entry>(SFOpenProgramModule(m_file, m_entry, &library, where));
        if (entry == nullptr) {
            return nullptr;
        }
        const Table* table = entry();
        if (table == nullptr || table->version != m_version || table->size < sizeof(Table)) {
            *where += " is not of version " + std::to_string(m_version);
            SFCloseProgramModule(library);
            return nullptr;
        }
        return table;
    }

    const char* m_file;
    const char* m_entry;
    uint32_t m_version;
    std::mutex m_mutex;
    std::atomic<const Table*> m_table{nullptr};
};

}  // namespace SF_SOFT_BASE
