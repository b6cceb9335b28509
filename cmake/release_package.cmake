# The Windows release package, built by scripts/package.sh: dist/ in the
# source tree gets Parlivo-<version>-win64.zip, the Parlivo.exe it holds and
# SHA256SUMS for both. The zip's name takes the version from project().
find_program(PARLIVO_PYTHON3 python3 REQUIRED)

add_custom_target(release_package
  COMMAND ${PARLIVO_PYTHON3} ${PROJECT_SOURCE_DIR}/scripts/write_package.py
    --exe $<TARGET_FILE:Parlivo>
    --readme ${PROJECT_SOURCE_DIR}/docs/using-parlivo.txt
    --license ${PROJECT_SOURCE_DIR}/LICENSE
    --zip Parlivo-${PROJECT_VERSION}-win64.zip
    --dist ${PROJECT_SOURCE_DIR}/dist
  VERBATIM)
add_dependencies(release_package Parlivo)
