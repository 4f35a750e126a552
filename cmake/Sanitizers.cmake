if(TRELK_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    # The standard library checks its own preconditions too (an index past a vector's end,
    # std::clamp with its bounds the wrong way round), which the sanitizers cannot see.
    add_compile_definitions(_GLIBCXX_ASSERTIONS)
    add_link_options(-fsanitize=address,undefined)
endif()
