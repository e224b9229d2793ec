#include "writer/finish.h"

#include <cinttypes>
#include <cstdio>

#include "blocks/serialiser.h"
#include "frd/format.h"

namespace kovan {
namespace {

std::string block_header(const char* key, uint64_t count, uint32_t format, const std::string& end) {
    char line[96];
    std::snprintf(line, sizeof line, "    %s%30" PRId64 "%38d", key, static_cast<int64_t>(count), static_cast<int>(format));
    return line + end;
}

std::string end_line(uint32_t format, const std::string& end) {
    return is_binary(static_cast<int32_t>(format)) ? std::string() : " -3" + end;
}

Block text_block(std::vector<std::string> lines) {
    Block block;
    block.lines = std::move(lines);
    return block;
}

// A node block is always written, in the Writer's format, so that what
// follows it is never read as part of an unterminated block.
void frame_node_block(Writer& writer) {
    Block& block = writer.node_block;
    if (block.kind != BlockKey::kNodes) {
        block = Block();
        block.kind = BlockKey::kNodes;
        block.format = writer.format;
        block.stated_count = 0;
    }
    block.lines = {block_header("2C", block.nodes.size(), block.format, writer.line_terminator)};
    block.end_line = end_line(block.format, writer.line_terminator);
}

void frame_element_block(Writer& writer) {
    Block& block = writer.element_block;
    block.lines = {block_header("3C", block.elements.size(), block.format, writer.line_terminator)};
    block.end_line = end_line(block.format, writer.line_terminator);
}

}  // namespace

OutputText finish_file(Writer& writer) {
    writer.finished = true;
    const std::string& end = writer.line_terminator;
    frame_node_block(writer);
    BlockDocument document;
    document.line_terminator = end;
    document.blocks.reserve(4 + writer.result_blocks.size());
    document.blocks.push_back(text_block({"    1C" + end, "    1UPGM               kovanmeshconverter" + end}));
    // A finished Writer accepts nothing more, so its blocks move into the
    // document rather than being copied: a large file is held once.
    document.blocks.push_back(std::move(writer.node_block));
    if (writer.element_block.kind == BlockKey::kElements && !writer.element_block.elements.empty()) {
        frame_element_block(writer);
        document.blocks.push_back(std::move(writer.element_block));
    }
    for (Block& block : writer.result_blocks) {
        if (block.kind == BlockKey::kResults) block.end_line = end_line(block.format, end);
        document.blocks.push_back(std::move(block));
    }
    writer.result_blocks.clear();
    document.blocks.push_back(text_block({" 9999" + end}));
    return serialise(document, kKeepFormats);
}

}  // namespace kovan
