#pragma once

#include <pugixml.hpp>

namespace stowline::xml {

// Visits every node below `root` in document order, without recursion: answers may nest far
// deeper than the stack allows. enter(node) comes before a node's children; leave(element)
// after the children of an element that has some.
template <typename Enter, typename Leave>
void walkBelow(const pugi::xml_node& root, Enter&& enter, Leave&& leave) {
    pugi::xml_node node = root.first_child();
    while (node) {
        enter(node);
        if (node.type() == pugi::node_element && node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling()) {
            node = node.parent();
            if (node == root) {
                return;
            }
            leave(node);
        }
        if (node) {
            node = node.next_sibling();
        }
    }
}

} // namespace stowline::xml
