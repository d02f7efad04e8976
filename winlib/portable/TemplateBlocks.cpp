// Block storage behind DialogTemplate. Blocks are allocated zero-filled, so padding and zero
// fields need no writes, and are never reallocated, so the header's item count can be updated in
// place after the items have been appended.
#include "TemplateBlocks.h"

#include <cstring>

TemplateBlocks::TemplateBlocks() : firstBlock(MakeBlock()), lastBlock(firstBlock.get()) {}

TemplateBlocks::~TemplateBlocks() {
    // Unlink one block at a time so a long chain is freed without deep recursion, first to last.
    std::unique_ptr<Block> block = std::move(firstBlock);
    while (block) {
        std::unique_ptr<Block> following = std::move(block->next);
        block.reset();
        block = std::move(following);
    }
}

std::unique_ptr<TemplateBlocks::Block> TemplateBlocks::MakeBlock() {
    auto block = std::make_unique<Block>();
    block->data = std::make_unique<std::uint8_t[]>(kBlockSize);  // value-initialised: all zero
    return block;
}

void* TemplateBlocks::Append(std::size_t count) {
    if (count > kBlockSize) {
        return nullptr;  // no block could hold it; don't allocate one for nothing
    }
    if (count <= kBlockSize - lastBlock->used) {
        void* start = lastBlock->data.get() + lastBlock->used;
        lastBlock->used += count;
        return start;
    }
    lastBlock->next = MakeBlock();
    lastBlock = lastBlock->next.get();
    lastBlock->used = count;
    return lastBlock->data.get();
}

std::size_t TemplateBlocks::Size() const {
    std::size_t size = 0;
    for (const Block* block = firstBlock.get(); block; block = block->next.get()) {
        size += block->used;
    }
    return size;
}

bool TemplateBlocks::CopyTo(void* buffer, std::size_t capacity) const {
    if (Size() > capacity) {
        return false;
    }
    auto* out = static_cast<std::uint8_t*>(buffer);
    for (const Block* block = firstBlock.get(); block; block = block->next.get()) {
        if (block->used) {
            std::memcpy(out, block->data.get(), block->used);
            out += block->used;
        }
    }
    return true;
}

std::size_t TemplateBlocks::BlockCount() const {
    std::size_t count = 0;
    for (const Block* block = firstBlock.get(); block; block = block->next.get()) {
        ++count;
    }
    return count;
}
