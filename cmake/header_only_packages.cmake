# CLI11 and nlohmann-json for a cross build: both are headers only, so the host's Debian packages serve any
# target. They are offered through a folder of the build tree that holds their headers and package files
# alone, searched like the target's own tree; the host's /usr/include as a whole never reaches the compiler.
set(VERSWEEP_HEADER_ONLY_ROOT ${PROJECT_BINARY_DIR}/header-only/usr)

# versweep_offer_header_only(<package name> <include folder name> <Debian package>)
function(versweep_offer_header_only package include_name debian_package)
    if(NOT EXISTS /usr/share/cmake/${package} OR NOT EXISTS /usr/include/${include_name})
        message(FATAL_ERROR "${package} is missing: install ${debian_package} (scripts/deps.sh does)")
    endif()
    # Copied rather than linked: the package files find the headers from the folder they sit in.
    file(COPY /usr/share/cmake/${package} DESTINATION ${VERSWEEP_HEADER_ONLY_ROOT}/share/cmake)
    file(MAKE_DIRECTORY ${VERSWEEP_HEADER_ONLY_ROOT}/include)
    file(CREATE_LINK /usr/include/${include_name} ${VERSWEEP_HEADER_ONLY_ROOT}/include/${include_name} SYMBOLIC)
endfunction()

versweep_offer_header_only(CLI11 CLI libcli11-dev)
versweep_offer_header_only(nlohmann_json nlohmann nlohmann-json3-dev)
list(APPEND CMAKE_FIND_ROOT_PATH ${PROJECT_BINARY_DIR}/header-only)
