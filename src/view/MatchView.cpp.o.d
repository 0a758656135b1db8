../ src / view / MatchView.cpp.o :../ src / view / MatchView.cpp / usr / include / stdc -
    predef.h / work / wt / pictures / src / view / MatchView.h / work / wt / pictures / src / core / FramePicture.h /
        usr / include / c++ / 12 / cstdint / usr / include / x86_64 -
    linux - gnu / c++ / 12 / bits / c++ config.h / usr / include / x86_64 - linux -
    gnu / c++ / 12 / bits / os_defines.h / usr / include / features.h / usr / include / features -
    time64.h / usr / include / x86_64 - linux - gnu / bits / wordsize.h / usr / include / x86_64 - linux -
    gnu / bits / timesize.h / usr / include / x86_64 - linux - gnu / sys / cdefs.h / usr / include / x86_64 - linux -
    gnu / bits / long - double.h / usr / include / x86_64 - linux - gnu / gnu / stubs.h / usr / include / x86_64 -
    linux - gnu / gnu / stubs - 64.h / usr / include / x86_64 - linux -
    gnu / c++ / 12 / bits / cpu_defines.h / usr / include / c++ / 12 / pstl / pstl_config.h / usr / lib / gcc / x86_64 -
    linux - gnu / 12 / include / stdint.h / usr / include / stdint.h / usr / include / x86_64 - linux -
    gnu / bits / libc - header - start.h / usr / include / x86_64 - linux -
    gnu / bits / types.h / usr / include / x86_64 - linux - gnu / bits / typesizes.h / usr / include / x86_64 - linux -
    gnu / bits / time64.h / usr / include / x86_64 - linux - gnu / bits / wchar.h / usr / include / x86_64 - linux -
    gnu / bits / stdint - intn.h / usr / include / x86_64 - linux - gnu / bits / stdint -
    uintn.h / usr / include / c++ / 12 / string / usr / include / c++ / 12 / bits / stringfwd.h / usr / include / c++ /
        12 / bits / memoryfwd.h / usr / include / c++ / 12 / bits / char_traits.h / usr / include / c++ / 12 / bits /
        postypes.h / usr / include / c++ / 12 / cwchar / usr / include / wchar.h / usr / include / x86_64 -
    linux - gnu / bits / floatn.h / usr / include / x86_64 - linux - gnu / bits / floatn -
    common.h / usr / lib / gcc / x86_64 - linux - gnu / 12 / include / stddef.h / usr / lib / gcc / x86_64 - linux -
    gnu / 12 / include / stdarg.h / usr / include / x86_64 - linux -
    gnu / bits / types / wint_t.h / usr / include / x86_64 - linux -
    gnu / bits / types / mbstate_t.h / usr / include / x86_64 - linux -
    gnu / bits / types / __mbstate_t.h / usr / include / x86_64 - linux -
    gnu / bits / types / __FILE.h / usr / include / x86_64 - linux -
    gnu / bits / types / FILE.h / usr / include / x86_64 - linux -
    gnu / bits / types / locale_t.h / usr / include / x86_64 - linux -
    gnu / bits / types / __locale_t.h / usr / include / c++ / 12 / type_traits / usr / include / c++ / 12 / compare /
        usr / include / c++ / 12 / concepts / usr / include / c++ / 12 / bits / stl_construct.h / usr / include / c++ /
        12 / new / usr / include / c++ / 12 / bits / exception.h / usr / include / c++ / 12 / bits / move.h / usr /
        include / c++ / 12 / bits / stl_iterator_base_types.h / usr / include / c++ / 12 / bits / iterator_concepts.h /
        usr / include / c++ / 12 / bits / ptr_traits.h / usr / include / c++ / 12 / bits / ranges_cmp.h / usr /
        include / c++ / 12 / bits / stl_iterator_base_funcs.h / usr / include / c++ / 12 / bits / concept_check.h /
        usr / include / c++ / 12 / debug / assertions.h / usr / include / c++ / 12 / bits / allocator.h / usr /
        include / x86_64 -
    linux -
    gnu / c++ / 12 / bits / c++ allocator.h / usr / include / c++ / 12 / bits / new_allocator.h / usr / include / c++ /
        12 / bits / functexcept.h / usr / include / c++ / 12 / bits / exception_defines.h / usr / include / c++ / 12 /
        bits / cpp_type_traits.h / usr / include / c++ / 12 / bits / localefwd.h / usr / include / x86_64 -
    linux -
    gnu / c++ / 12 / bits / c++ locale.h / usr / include / c++ / 12 / clocale / usr / include / locale.h / usr /
        include / x86_64 -
    linux -
    gnu / bits / locale.h / usr / include / c++ / 12 / iosfwd / usr / include / c++ / 12 / cctype / usr / include /
        ctype.h / usr / include / x86_64 -
    linux - gnu / bits / endian.h / usr / include / x86_64 - linux -
    gnu / bits / endianness.h / usr / include / c++ / 12 / bits / ostream_insert.h / usr / include / c++ / 12 / bits /
        cxxabi_forced.h / usr / include / c++ / 12 / bits / stl_iterator.h / usr / include / c++ / 12 / ext /
        type_traits.h / usr / include / c++ / 12 / bits / stl_function.h / usr / include / c++ / 12 / backward /
        binders.h / usr / include / c++ / 12 / ext / numeric_traits.h / usr / include / c++ / 12 / bits /
        stl_algobase.h / usr / include / c++ / 12 / bits / stl_pair.h / usr / include / c++ / 12 / bits / utility.h /
        usr / include / c++ / 12 / debug / debug.h / usr / include / c++ / 12 / bits / predefined_ops.h / usr /
        include / c++ / 12 / bits / refwrap.h / usr / include / c++ / 12 / bits / invoke.h / usr / include / c++ / 12 /
        bits / range_access.h / usr / include / c++ / 12 / initializer_list / usr / include / c++ / 12 / bits /
        basic_string.h / usr / include / c++ / 12 / ext / alloc_traits.h / usr / include / c++ / 12 / bits /
        alloc_traits.h / usr / include / c++ / 12 / string_view / usr / include / c++ / 12 / bits / functional_hash.h /
        usr / include / c++ / 12 / bits / hash_bytes.h / usr / include / c++ / 12 / bits / ranges_base.h / usr /
        include / c++ / 12 / bits / max_size_type.h / usr / include / c++ / 12 / numbers / usr / include / c++ / 12 /
        bits / string_view.tcc / usr / include / c++ / 12 / ext / string_conversions.h / usr / include / c++ / 12 /
        cstdlib / usr / include / stdlib.h / usr / include / x86_64 -
    linux - gnu / bits / waitflags.h / usr / include / x86_64 - linux -
    gnu / bits / waitstatus.h / usr / include / x86_64 - linux - gnu / sys / types.h / usr / include / x86_64 - linux -
    gnu / bits / types / clock_t.h / usr / include / x86_64 - linux -
    gnu / bits / types / clockid_t.h / usr / include / x86_64 - linux -
    gnu / bits / types / time_t.h / usr / include / x86_64 - linux -
    gnu / bits / types / timer_t.h / usr / include / endian.h / usr / include / x86_64 - linux -
    gnu / bits / byteswap.h / usr / include / x86_64 - linux - gnu / bits / uintn -
    identity.h / usr / include / x86_64 - linux - gnu / sys / select.h / usr / include / x86_64 - linux -
    gnu / bits / select.h / usr / include / x86_64 - linux - gnu / bits / types / sigset_t.h / usr / include / x86_64 -
    linux - gnu / bits / types / __sigset_t.h / usr / include / x86_64 - linux -
    gnu / bits / types / struct_timeval.h / usr / include / x86_64 - linux -
    gnu / bits / types / struct_timespec.h / usr / include / x86_64 - linux -
    gnu / bits / pthreadtypes.h / usr / include / x86_64 - linux - gnu / bits / thread - shared -
    types.h / usr / include / x86_64 - linux - gnu / bits / pthreadtypes - arch.h / usr / include / x86_64 - linux -
    gnu / bits / atomic_wide_counter.h / usr / include / x86_64 - linux -
    gnu / bits / struct_mutex.h / usr / include / x86_64 - linux -
    gnu / bits / struct_rwlock.h / usr / include / alloca.h / usr / include / x86_64 - linux - gnu / bits / stdlib -
    bsearch.h / usr / include / x86_64 - linux - gnu / bits / stdlib -
    float.h / usr / include / c++ / 12 / bits / std_abs.h / usr / include / c++ / 12 / cstdio / usr / include /
        stdio.h / usr / include / x86_64 -
    linux - gnu / bits / types / __fpos_t.h / usr / include / x86_64 - linux -
    gnu / bits / types / __fpos64_t.h / usr / include / x86_64 - linux -
    gnu / bits / types / struct_FILE.h / usr / include / x86_64 - linux -
    gnu / bits / types / cookie_io_functions_t.h / usr / include / x86_64 - linux -
    gnu / bits / stdio_lim.h / usr / include / x86_64 - linux -
    gnu / bits / stdio.h / usr / include / c++ / 12 / cerrno / usr / include / errno.h / usr / include / x86_64 -
    linux - gnu / bits / errno.h / usr / include / linux / errno.h / usr / include / x86_64 - linux -
    gnu / asm / errno.h / usr / include / asm - generic / errno.h / usr / include / asm - generic / errno -
    base.h / usr / include / x86_64 - linux -
    gnu / bits / types / error_t.h / usr / include / c++ / 12 / bits / charconv.h / usr / include / c++ / 12 / bits /
        basic_string.tcc / usr / include / c++ / 12 / vector / usr / include / c++ / 12 / bits / stl_uninitialized.h /
        usr / include / c++ / 12 / bits / stl_vector.h / usr / include / c++ / 12 / bits / stl_bvector.h / usr /
        include / c++ / 12 / bits / vector.tcc / work / wt / pictures / src / shape / MatchShape.h / usr / include /
        c++ / 12 / cstddef / usr / include / c++ / 12 / memory / usr / include / c++ / 12 / bits / stl_tempbuf.h / usr /
        include / c++ / 12 / bits / stl_raw_storage_iter.h / usr / include / c++ / 12 / bits / align.h / usr / include /
        c++ / 12 / bit / usr / include / c++ / 12 / bits / uses_allocator.h / usr / include / c++ / 12 / bits /
        unique_ptr.h / usr / include / c++ / 12 / tuple / usr / include / c++ / 12 / ostream / usr / include / c++ /
        12 / ios / usr / include / c++ / 12 / exception / usr / include / c++ / 12 / bits / exception_ptr.h / usr /
        include / c++ / 12 / bits / cxxabi_init_exception.h / usr / include / c++ / 12 / typeinfo / usr / include /
        c++ / 12 / bits / nested_exception.h / usr / include / c++ / 12 / bits / ios_base.h / usr / include / c++ / 12 /
        ext / atomicity.h / usr / include / x86_64 -
    linux - gnu / c++ / 12 / bits / gthr.h / usr / include / x86_64 - linux - gnu / c++ / 12 / bits / gthr -
    default.h / usr / include / pthread.h / usr / include / sched.h / usr / include / x86_64 - linux -
    gnu / bits / sched.h / usr / include / x86_64 - linux -
    gnu / bits / types / struct_sched_param.h / usr / include / x86_64 - linux - gnu / bits / cpu -
    set.h / usr / include / time.h / usr / include / x86_64 - linux - gnu / bits / time.h / usr / include / x86_64 -
    linux - gnu / bits / timex.h / usr / include / x86_64 - linux -
    gnu / bits / types / struct_tm.h / usr / include / x86_64 - linux -
    gnu / bits / types / struct_itimerspec.h / usr / include / x86_64 - linux -
    gnu / bits / setjmp.h / usr / include / x86_64 - linux -
    gnu / bits / types / struct___jmp_buf_tag.h / usr / include / x86_64 - linux - gnu / bits / pthread_stack_min -
    dynamic.h / usr / include / x86_64 - linux - gnu / c++ / 12 / bits / atomic_word.h / usr / include / x86_64 -
    linux -
    gnu / sys / single_threaded.h / usr / include / c++ / 12 / bits / locale_classes.h / usr / include / c++ / 12 /
        bits / locale_classes.tcc / usr / include / c++ / 12 / system_error / usr / include / x86_64 -
    linux -
    gnu / c++ / 12 / bits / error_constants.h / usr / include / c++ / 12 / stdexcept / usr / include / c++ / 12 /
        streambuf / usr / include / c++ / 12 / bits / streambuf.tcc / usr / include / c++ / 12 / bits / basic_ios.h /
        usr / include / c++ / 12 / bits / locale_facets.h / usr / include / c++ / 12 / cwctype / usr / include /
        wctype.h / usr / include / x86_64 -
    linux - gnu / bits / wctype - wchar.h / usr / include / x86_64 - linux -
    gnu / c++ / 12 / bits / ctype_base.h / usr / include / c++ / 12 / bits / streambuf_iterator.h / usr / include /
        x86_64 -
    linux -
    gnu / c++ / 12 / bits / ctype_inline.h / usr / include / c++ / 12 / bits / locale_facets.tcc / usr / include / c++ /
        12 / bits / basic_ios.tcc / usr / include / c++ / 12 / bits / ostream.tcc / usr / include / c++ / 12 / bits /
        shared_ptr.h / usr / include / c++ / 12 / bits / shared_ptr_base.h / usr / include / c++ / 12 / bits /
        allocated_ptr.h / usr / include / c++ / 12 / ext / aligned_buffer.h / usr / include / c++ / 12 / ext /
        concurrence.h / usr / include / c++ / 12 / bits / shared_ptr_atomic.h / usr / include / c++ / 12 / bits /
        atomic_base.h / usr / include / c++ / 12 / bits / atomic_lockfree_defines.h / usr / include / c++ / 12 / bits /
        atomic_wait.h / usr / include / c++ / 12 / climits / usr / lib / gcc / x86_64 -
    linux - gnu / 12 / include / limits.h / usr / lib / gcc / x86_64 - linux -
    gnu / 12 / include / syslimits.h / usr / include / limits.h / usr / include / x86_64 - linux -
    gnu / bits / posix1_lim.h / usr / include / x86_64 - linux -
    gnu / bits / local_lim.h / usr / include / linux / limits.h / usr / include / x86_64 - linux -
    gnu / bits / posix2_lim.h / usr / include / x86_64 - linux - gnu / bits / xopen_lim.h / usr / include / x86_64 -
    linux - gnu / bits / uio_lim.h / usr / include / unistd.h / usr / include / x86_64 - linux -
    gnu / bits / posix_opt.h / usr / include / x86_64 - linux - gnu / bits / environments.h / usr / include / x86_64 -
    linux - gnu / bits / confname.h / usr / include / x86_64 - linux -
    gnu / bits / getopt_posix.h / usr / include / x86_64 - linux - gnu / bits / getopt_core.h / usr / include / x86_64 -
    linux -
    gnu / bits / unistd_ext.h / usr / include / linux / close_range.h / usr / include / syscall.h / usr / include /
        x86_64 -
    linux - gnu / sys / syscall.h / usr / include / x86_64 - linux - gnu / asm / unistd.h / usr / include / x86_64 -
    linux - gnu / asm / unistd_64.h / usr / include / x86_64 - linux -
    gnu / bits / syscall.h / usr / include / c++ / 12 / bits / std_mutex.h / usr / include / c++ / 12 / backward /
        auto_ptr.h / usr / include / c++ / 12 / bits / ranges_uninitialized.h / usr / include / c++ / 12 / bits /
        ranges_algobase.h / usr / include / c++ / 12 / bits / uses_allocator_args.h / usr / include / c++ / 12 / pstl /
        glue_memory_defs.h / usr / include / c++ / 12 / pstl / execution_defs.h / work / wt / pictures / src / agent /
        AgentMatch.h / work / wt / pictures / src / agent / AgentAction.h / work / wt / pictures / src / behaviour /
        PlayerOrder.h / work / wt / pictures / src / files / Expected.h / usr / include / c++ / 12 / utility / usr /
        include / c++ / 12 / bits / stl_relops.h / usr / include / c++ / 12 / variant / usr / include / c++ / 12 /
        bits / enable_special_members.h / usr / include / c++ / 12 / bits / parse_numbers.h / usr / include / c++ / 12 /
        array / usr / include / c++ / 12 / optional / work / wt / pictures / src / core / World.h / work / wt /
        pictures / src / core / DebugOverlay.h / usr / include / SFML / Graphics / Color.hpp / usr / include / SFML /
        Graphics / Export.hpp / usr / include / SFML / Config.hpp / usr / include / SFML / System / Vector2.hpp / usr /
        include / SFML / System / Vector2.inl / work / wt / pictures / src / core / GameHost.h / work / wt / pictures /
        src / core / Entity.h / usr / include / SFML / Graphics / CircleShape.hpp / usr / include / SFML / Graphics /
        Shape.hpp / usr / include / SFML / Graphics / Drawable.hpp / usr / include / SFML / Graphics /
        RenderStates.hpp / usr / include / SFML / Graphics / BlendMode.hpp / usr / include / SFML / Graphics /
        Transform.hpp / usr / include / SFML / Graphics / Rect.hpp / usr / include / c++ / 12 / algorithm / usr /
        include / c++ / 12 / bits / stl_algo.h / usr / include / c++ / 12 / bits / algorithmfwd.h / usr / include /
        c++ / 12 / bits / stl_heap.h / usr / include / c++ / 12 / bits / uniform_int_dist.h / usr / include / c++ / 12 /
        bits / ranges_algo.h / usr / include / c++ / 12 / bits / ranges_util.h / usr / include / c++ / 12 / pstl /
        glue_algorithm_defs.h / usr / include / SFML / Graphics / Rect.inl / usr / include / SFML / Graphics /
        Transformable.hpp / usr / include / SFML / Graphics / VertexArray.hpp / usr / include / SFML / Graphics /
        Vertex.hpp / usr / include / SFML / Graphics / PrimitiveType.hpp / work / wt / pictures / src / core / Scene.h /
        work / wt / pictures / src / core / SfmlPicture.h / usr / include / SFML / Graphics / RectangleShape.hpp / usr /
        include / SFML / Graphics / Text.hpp / usr / include / SFML / Graphics / Font.hpp / usr / include / SFML /
        Graphics / Glyph.hpp / usr / include / SFML / Graphics / Texture.hpp / usr / include / SFML / Graphics /
        Image.hpp / usr / include / SFML / Window / GlResource.hpp / usr / include / SFML / Window / Export.hpp / usr /
        include / SFML / System / NonCopyable.hpp / usr / include / SFML / System / Export.hpp / usr / include / SFML /
        System / String.hpp / usr / include / SFML / System / Utf.hpp / usr / include / c++ / 12 / locale / usr /
        include / c++ / 12 / bits / locale_facets_nonio.h / usr / include / c++ / 12 / ctime / usr / include / x86_64 -
    linux - gnu / c++ / 12 / bits / time_members.h / usr / include / x86_64 - linux -
    gnu / c++ / 12 / bits / messages_members.h / usr / include / libintl.h / usr / include / c++ / 12 / bits /
        codecvt.h / usr / include / c++ / 12 / bits / locale_facets_nonio.tcc / usr / include / c++ / 12 / bits /
        locale_conv.h / usr / include / SFML / System / Utf.inl / usr / include / c++ / 12 / iterator / usr / include /
        c++ / 12 / bits / stream_iterator.h / usr / include / SFML / System / String.inl / usr / include / c++ / 12 /
        map / usr / include / c++ / 12 / bits / stl_tree.h / usr / include / c++ / 12 / bits / node_handle.h / usr /
        include / c++ / 12 / bits / stl_map.h / usr / include / c++ / 12 / bits / stl_multimap.h / usr / include / c++ /
        12 / bits / erase_if.h / work / wt / pictures / src / core / StepObserver.h / usr / include / c++ / 12 /
        functional / usr / include / c++ / 12 / bits / std_function.h / usr / include / c++ / 12 / unordered_map / usr /
        include / c++ / 12 / bits / hashtable.h / usr / include / c++ / 12 / bits / hashtable_policy.h / usr / include /
        c++ / 12 / bits / unordered_map.h / usr / include / c++ / 12 / iostream / usr / include / c++ / 12 / istream /
        usr / include / c++ / 12 / bits / istream.tcc / usr / include / c++ / 12 / list / usr / include / c++ / 12 /
        bits / stl_list.h / usr / include / c++ / 12 / bits / list.tcc / work / wt / pictures / src / core / Random.h /
        usr / include / c++ / 12 / random / usr / include / c++ / 12 / cmath / usr / include / math.h / usr / include /
        x86_64 -
    linux - gnu / bits / math - vector.h / usr / include / x86_64 - linux - gnu / bits / libm - simd - decl -
    stubs.h / usr / include / x86_64 - linux - gnu / bits / flt - eval - method.h / usr / include / x86_64 - linux -
    gnu / bits / fp - logb.h / usr / include / x86_64 - linux - gnu / bits / fp - fast.h / usr / include / x86_64 -
    linux - gnu / bits / mathcalls - helper - functions.h / usr / include / x86_64 - linux -
    gnu / bits / mathcalls.h / usr / include / x86_64 - linux - gnu / bits / mathcalls -
    narrow.h / usr / include / x86_64 - linux -
    gnu / bits / iscanonical.h / usr / include / c++ / 12 / bits / specfun.h / usr / include / c++ / 12 / limits / usr /
        include / c++ / 12 / tr1 / gamma.tcc / usr / include / c++ / 12 / tr1 / special_function_util.h / usr /
        include / c++ / 12 / tr1 / bessel_function.tcc / usr / include / c++ / 12 / tr1 / beta_function.tcc / usr /
        include / c++ / 12 / tr1 / ell_integral.tcc / usr / include / c++ / 12 / tr1 / exp_integral.tcc / usr /
        include / c++ / 12 / tr1 / hypergeometric.tcc / usr / include / c++ / 12 / tr1 / legendre_function.tcc / usr /
        include / c++ / 12 / tr1 / modified_bessel_func.tcc / usr / include / c++ / 12 / tr1 / poly_hermite.tcc / usr /
        include / c++ / 12 / tr1 / poly_laguerre.tcc / usr / include / c++ / 12 / tr1 / riemann_zeta.tcc / usr /
        include / c++ / 12 / bits / random.h / usr / include / x86_64 -
    linux -
    gnu / c++ / 12 / bits / opt_random.h / usr / include / c++ / 12 / bits / random.tcc / usr / include / c++ / 12 /
        numeric / usr / include / c++ / 12 / bits / stl_numeric.h / usr / include / c++ / 12 / pstl /
        glue_numeric_defs.h / work / wt / pictures / src / run / MatchRecorder.h / work / wt / pictures / src / match /
        MatchObserver.h / work / wt / pictures / src / run / FrameObserver.h / work / wt / pictures / src / run /
        MatchRules.h / usr / include / nlohmann / json.hpp / usr / include / nlohmann / adl_serializer.hpp / usr /
        include / nlohmann / detail / abi_macros.hpp / usr / include / nlohmann / detail / conversions / from_json.hpp /
        usr / include / c++ / 12 / forward_list / usr / include / c++ / 12 / bits / forward_list.h / usr / include /
        c++ / 12 / bits / forward_list.tcc / usr / include / c++ / 12 / valarray / usr / include / c++ / 12 / bits /
        valarray_array.h / usr / include / c++ / 12 / bits / valarray_array.tcc / usr / include / c++ / 12 / bits /
        valarray_before.h / usr / include / c++ / 12 / bits / slice_array.h / usr / include / c++ / 12 / bits /
        valarray_after.h / usr / include / c++ / 12 / bits / gslice.h / usr / include / c++ / 12 / bits /
        gslice_array.h / usr / include / c++ / 12 / bits / mask_array.h / usr / include / c++ / 12 / bits /
        indirect_array.h / usr / include / nlohmann / detail / exceptions.hpp / usr / include / nlohmann / detail /
        value_t.hpp / usr / include / nlohmann / detail / macro_scope.hpp / usr / include / nlohmann / detail / meta /
        detected.hpp / usr / include / nlohmann / detail / meta / void_t.hpp / usr / include / nlohmann / thirdparty /
        hedley / hedley.hpp / usr / include / c++ / 12 / version / usr / include / c++ / 12 / cassert / usr / include /
        assert.h / usr / include / nlohmann / detail / string_escape.hpp / usr / include / nlohmann / detail / input /
        position_t.hpp / usr / include / nlohmann / detail / meta / cpp_future.hpp / usr / include / nlohmann / detail /
        meta / type_traits.hpp / usr / include / nlohmann / detail / iterators / iterator_traits.hpp / usr / include /
        nlohmann / detail / meta / call_std / begin.hpp / usr / include / nlohmann / detail / meta / call_std /
        end.hpp / usr / include / nlohmann / json_fwd.hpp / usr / include / nlohmann / detail / string_concat.hpp /
        usr / include / c++ / 12 / cstring / usr / include / string.h / usr / include / strings.h / usr / include /
        nlohmann / detail / meta / identity_tag.hpp / usr / include / nlohmann / detail / meta / std_fs.hpp / usr /
        include / c++ / 12 / filesystem / usr / include / c++ / 12 / bits / fs_fwd.h / usr / include / c++ / 12 / bits /
        chrono.h / usr / include / c++ / 12 / ratio / usr / include / c++ / 12 / bits / fs_path.h / usr / include /
        c++ / 12 / iomanip / usr / include / c++ / 12 / bits / quoted_string.h / usr / include / c++ / 12 / sstream /
        usr / include / c++ / 12 / bits / sstream.tcc / usr / include / c++ / 12 / codecvt / usr / include / c++ / 12 /
        bits / fs_dir.h / usr / include / c++ / 12 / bits / fs_ops.h / usr / include / nlohmann / detail / conversions /
        to_json.hpp / usr / include / nlohmann / detail / iterators / iteration_proxy.hpp / usr / include / c++ / 12 /
        ranges / usr / include / c++ / 12 / span / usr / include / nlohmann / byte_container_with_subtype.hpp / usr /
        include / nlohmann / detail / hash.hpp / usr / include / nlohmann / detail / input / binary_reader.hpp / usr /
        include / nlohmann / detail / input / input_adapters.hpp / usr / include / nlohmann / detail / input /
        json_sax.hpp / usr / include / nlohmann / detail / input / lexer.hpp / usr / include / nlohmann / detail /
        meta / is_sax.hpp / usr / include / nlohmann / detail / input / parser.hpp / usr / include / nlohmann / detail /
        iterators / internal_iterator.hpp / usr / include / nlohmann / detail / iterators / primitive_iterator.hpp /
        usr / include / nlohmann / detail / iterators / iter_impl.hpp / usr / include / nlohmann / detail / iterators /
        json_reverse_iterator.hpp / usr / include / nlohmann / detail / json_pointer.hpp / usr / include / nlohmann /
        detail / json_ref.hpp / usr / include / nlohmann / detail / output / binary_writer.hpp / usr / include /
        nlohmann / detail / output / output_adapters.hpp / usr / include / nlohmann / detail / output / serializer.hpp /
        usr / include / nlohmann / detail / conversions / to_chars.hpp / usr / include / nlohmann / ordered_map.hpp /
        usr / include / c++ / 12 / any / usr / include / nlohmann / detail / macro_unscope.hpp / usr / include /
        nlohmann / thirdparty / hedley / hedley_undef.hpp / work / wt / pictures / src / run / MatchRunner.h / work /
        wt / pictures / src / run / MatchSnapshot.h / work / wt / pictures / src / behaviour / Ball.h / work / wt /
        pictures / src / behaviour / Player.h / work / wt / pictures / src / behaviour / PlayerActions.h / work / wt /
        pictures / src / behaviour / StateGraph.h / work / wt / pictures / src / tactics / TacticSteps.h / work / wt /
        pictures / src / tactics / Tactic.h / work / wt / pictures / src / match / RugbyScene.h / work / wt / pictures /
        src / laws / Laws.h / work / wt / pictures / src / settings / PlayerSettings.h / work / wt / pictures / src /
        picture / CairoPicture.h / usr / include / SFML / Graphics / RenderWindow.hpp / usr / include / SFML /
        Graphics / RenderTarget.hpp / usr / include / SFML / Graphics / View.hpp / usr / include / SFML / Window /
        Window.hpp / usr / include / SFML / Window / ContextSettings.hpp / usr / include / SFML / Window / Cursor.hpp /
        usr / include / SFML / Window / VideoMode.hpp / usr / include / SFML / Window / WindowHandle.hpp / usr /
        include / SFML / Window / WindowStyle.hpp / usr / include / SFML / System / Clock.hpp / usr / include / SFML /
        System / Time.hpp / usr / include / SFML / Window / Event.hpp / usr / include / SFML / Window / Joystick.hpp /
        usr / include / SFML / Window / Keyboard.hpp / usr / include / SFML / Window / Mouse.hpp / usr / include /
        SFML / Window / Sensor.hpp / usr / include / SFML / System / Vector3.hpp / usr / include / SFML / System /
        Vector3.inl
