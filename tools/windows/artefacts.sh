# Sourced from the repository root once build-windows/ is configured: the version of the
# Windows build and the names of the files it writes, worked out in this one place.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-windows/CMakeCache.txt)
name=tabulon2x2-$version
stage=build-windows/$name
zip=build-windows/$name-windows-x64.zip
setup=build-windows/$name-setup.exe
source_tar=build-windows/$name-windows-x64-source.tar
