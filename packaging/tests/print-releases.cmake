# Prints what cmake/changelog.cmake reads from a changelog, for
# check-changelog.sh: cmake -DCHANGELOG=FILE -DVERSION=V -P print-releases.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/changelog.cmake)
tavrin_read_changelog("${CHANGELOG}" "${VERSION}")
message(NOTICE "date ${TAVRIN_RELEASE_DATE}")
message(NOTICE "${TAVRIN_RELEASES_XML}")
