#pragma once

#include <cstddef>

#include "neighbour_entry.h"

namespace vestra
{

// What a walk over a run of the kernel's netlink messages found.
struct walk_result
{
   enum class status
   {
      complete,  // every message was whole and none reported a failure
      malformed, // a length did not fit the bytes received: the walk stopped there
      failed,    // the kernel reported an error or an interrupted dump
   };

   status m_status = status::complete;
   bool m_bDumpEnded = false; // an end-of-dump message was among them
   std::size_t m_cEntries = 0;

   bool is_complete() const noexcept { return m_status == status::complete; }
};

// How one neighbour message reads.
enum class neighbour_message
{
   entry,   // an IPv4 entry, written into the entry
   skipped, // whole, but not an IPv4 entry with a four-byte address, or one that names no neighbour
   malformed,
};

// Reads one RTM_NEWNEIGH message of `cbMessage` bytes (its header included). Every attribute
// length is checked against the message's end.
neighbour_message read_neighbour_message(const unsigned char * pMessage, std::size_t cbMessage, neighbour_entry & entry);

// What one message header says, once its length is known to fit the bytes received.
struct message_step
{
   walk_result::status m_status = walk_result::status::complete;
   std::size_t m_cbMessage = 0; // the message's own length
   std::size_t m_cbStep = 0;    // the distance to the next message, within the bytes received
   bool m_bNeighbour = false; // an RTM_NEWNEIGH message
   bool m_bDumpEnded = false;
};

// Checks the message that starts `offset` bytes into `size` received bytes.
message_step read_message_step(const unsigned char * p, std::size_t size, std::size_t offset);

// Walks the messages in `size` received bytes and calls visit(entry) for every IPv4 neighbour
// entry, in the kernel's order. Messages after an end-of-dump message are walked too, so that
// several dumps received one after the other read as one listing.
template<typename Visit>
walk_result walk_neighbour_messages(const unsigned char * p, std::size_t size, Visit && visit)
{
   walk_result result;
   for (std::size_t offset = 0; offset < size;)
   {
      const message_step step = read_message_step(p, size, offset);
      if (step.m_status != walk_result::status::complete)
      {
         result.m_status = step.m_status;
         return result;
      }
      result.m_bDumpEnded = result.m_bDumpEnded || step.m_bDumpEnded;
      neighbour_entry entry;
      switch (step.m_bNeighbour ? read_neighbour_message(p + offset, step.m_cbMessage, entry) : neighbour_message::skipped)
      {
      case neighbour_message::entry:
         ++result.m_cEntries;
         visit(entry);
         break;
      case neighbour_message::skipped:
         break;
      case neighbour_message::malformed:
         result.m_status = walk_result::status::malformed;
         return result;
      }
      offset += step.m_cbStep;
   }
   return result;
}

} // namespace vestra
