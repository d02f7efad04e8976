// Growing storage for the bytes of an in-memory dialog template: a chain of zero-filled blocks
// that never move, so a pointer into bytes already written stays valid while more are added.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class TemplateBlocks {
public:
    static constexpr std::size_t kBlockSize = 65536;

    TemplateBlocks();
    ~TemplateBlocks();
    TemplateBlocks(const TemplateBlocks&) = delete;
    TemplateBlocks& operator=(const TemplateBlocks&) = delete;

    // Reserves `count` zero bytes at the end and returns where they start. A field is never split
    // between blocks: when it does not fit the last block it starts a new one. Null when `count`
    // exceeds a whole block; nothing is reserved then.
    void* Append(std::size_t count);

    // The template's length: the filled bytes of every block. The unfilled end of a block that a
    // later field did not fit into is not part of it.
    std::size_t Size() const;

    // Copies the bytes of every block in order. False, and nothing copied, when they do not fit.
    bool CopyTo(void* buffer, std::size_t capacity) const;

    std::size_t BlockCount() const;

private:
    struct Block {
        std::unique_ptr<Block> next;
        std::size_t used = 0;
        std::unique_ptr<std::uint8_t[]> data;
    };

    static std::unique_ptr<Block> MakeBlock();

    std::unique_ptr<Block> firstBlock;
    Block* lastBlock = nullptr;
};
