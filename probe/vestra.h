#pragma once

// libvestra: two facts read from the kernel for whoever loads this library. It keeps no state,
// starts no threads and takes no locks: every function may run on any thread, also concurrently
// with itself. The three functions are exported under their C++ names, parameter types included.

#define VESTRA_EXPORT __attribute__((visibility("default")))

// The kernel's limit on the number of processes, or -1 when the figure cannot be read.
//
// The figure is /proc/sys/kernel/threads-max. Linux counts processes and threads alike as tasks,
// and threads-max is the system-wide ceiling on how many tasks may exist at once: fork and clone
// fail once it is reached. It is the kernel's own count limit, unlike pid_max (the size of the
// process-number space) or RLIMIT_NPROC (a per-user limit).
VESTRA_EXPORT int kern_max_proc();

// Writes the six bytes at `mac` as "%x:%x:%x:%x:%x:%x" with snprintf's rules: at most size - 1
// characters and a terminator (nothing when size is 0 or less). Returns the length of the whole
// text, at most 17, whatever was cut.
VESTRA_EXPORT int ether_sprint(char * buf, int size, unsigned char * mac);

// Lists the kernel's IPv4 neighbour (ARP) table, then its IPv4 proxy entries. For each entry it
// calls callback(context, address, text) on the caller's thread: `address` is the IPv4 address
// in network byte order, `text` the link-level address (or "(incomplete)") followed by
// " permanent" and " published (proxy only)" where they apply; the text is valid only until the
// callback returns. A proxy entry is written with the address of the interface that answers for
// it; " permanent" marks every entry that never expires (static, proxy, or needing no address
// resolution). The all-zero entries the kernel keeps for loopback devices are left out, as the
// kernel's own listings leave them out. Returns null when the listing ran to its end (also for an empty table), else a
// constant text naming the step that failed, with no callback made:
//   "route-sysctl-estimate"              measuring the size of the tables
//   "malloc"                             allocating room for them
//   "actual retrieval of routing table"  fetching them (for example when they grew meanwhile)
// The callback must not be null.
VESTRA_EXPORT const char * arp_a(void * context, void (*callback)(void * context, unsigned int address, const char * text));
